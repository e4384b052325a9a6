#include "app/transfer/lineformat.h"

namespace {

template <typename Value, size_t N>
std::optional<Value> lookUp(const QString& name, const std::pair<const char*, Value> (&table)[N])
{
    for (const auto& [text, value] : table)
        if (name == QLatin1String(text))
            return value;
    return std::nullopt;
}

template <typename Value, size_t N>
QString nameOf(Value value, const std::pair<const char*, Value> (&table)[N])
{
    for (const auto& [text, known] : table)
        if (known == value)
            return QString::fromLatin1(text);
    return QString::number(int(value));
}

constexpr std::pair<const char*, QSerialPort::Parity> Parities[] = {
    {"none", QSerialPort::NoParity},   {"odd", QSerialPort::OddParity},     {"even", QSerialPort::EvenParity},
    {"mark", QSerialPort::MarkParity}, {"space", QSerialPort::SpaceParity},
};
constexpr std::pair<const char*, QSerialPort::DataBits> DataBits[] = {
    {"5", QSerialPort::Data5}, {"6", QSerialPort::Data6}, {"7", QSerialPort::Data7}, {"8", QSerialPort::Data8},
};
constexpr std::pair<const char*, QSerialPort::StopBits> StopBits[] = {
    {"1", QSerialPort::OneStop},
    {"2", QSerialPort::TwoStop},
};
constexpr std::pair<const char*, QSerialPort::FlowControl> Flows[] = {
    {"none", QSerialPort::NoFlowControl},
    {"xonxoff", QSerialPort::SoftwareControl},
    {"rtscts", QSerialPort::HardwareControl},
};

} // namespace

int LineFormat::bitsPerCharacter() const
{
    const int parityBits = parity == QSerialPort::NoParity ? 0 : 1;
    const int stopBitCount = stopBits == QSerialPort::TwoStop ? 2 : 1;
    return 1 + static_cast<int>(dataBits) + parityBits + stopBitCount;
}

std::optional<QSerialPort::Parity> ParityFromName(const QString& name)
{
    return lookUp(name, Parities);
}

std::optional<QSerialPort::DataBits> DataBitsFromName(const QString& name)
{
    return lookUp(name, DataBits);
}

std::optional<QSerialPort::StopBits> StopBitsFromName(const QString& name)
{
    return lookUp(name, StopBits);
}

std::optional<QSerialPort::FlowControl> FlowFromName(const QString& name)
{
    return lookUp(name, Flows);
}

QString ParityName(QSerialPort::Parity parity)
{
    return nameOf(parity, Parities);
}

QString DataBitsName(QSerialPort::DataBits dataBits)
{
    return nameOf(dataBits, DataBits);
}

QString StopBitsName(QSerialPort::StopBits stopBits)
{
    return nameOf(stopBits, StopBits);
}

QString FlowName(QSerialPort::FlowControl flow)
{
    return nameOf(flow, Flows);
}

QString LineFormatText(const LineFormat& format)
{
    return DataBitsName(format.dataBits) + ParityName(format.parity).left(1).toUpper()
        + StopBitsName(format.stopBits);
}
