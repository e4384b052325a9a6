#include "app/transfer/serialdevice.h"

#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <termios.h>

namespace {

// Grace a write gets beyond the time its bytes need on the line.
constexpr int WriteGraceMs = 2000;

} // namespace

SerialDevice::SerialDevice(QObject* parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialDevice::onPortError);
}

SerialDevice::~SerialDevice()
{
    close();
}

QString SerialDevice::DevicePathFor(const QString& portName)
{
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]{0,5})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(portName);
    if (match.hasMatch())
        return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
    if (portName.contains(QLatin1Char('/')))
        return portName;
    return QStringLiteral("/dev/") + portName;
}

SerialDevice::OpenResult SerialDevice::open(const QString& portName, qint32 baudRate)
{
    close();
    m_failed = false;
    m_errorText.clear();

    m_port.setPortName(DevicePathFor(portName));
    if (portName.isEmpty() || !m_port.open(QIODevice::ReadWrite)) {
        m_errorText = portName.isEmpty() ? QString::fromLocal8Bit(std::strerror(ENOENT))
                                         : m_port.errorString();
        return OpenResult::OpenFailed;
    }
    // Qt's lock file keeps other Qt programs away; flock() tells every other
    // program that takes the same care.
    if (::flock(m_port.handle(), LOCK_EX | LOCK_NB) != 0) {
        m_errorText = QString::fromLocal8Bit(std::strerror(errno));
        m_port.close();
        return OpenResult::OpenFailed;
    }
    const bool lineSet = baudRate > 0 && m_port.setBaudRate(baudRate)
        && m_port.setDataBits(QSerialPort::Data8) && m_port.setParity(QSerialPort::NoParity)
        && m_port.setStopBits(QSerialPort::OneStop);
    if (!lineSet) {
        m_errorText = m_port.errorString();
        m_port.close();
        return OpenResult::SettingsRejected;
    }
    // A pseudo-terminal has no modem lines and refuses these: not a failure.
    m_port.setRequestToSend(true);
    m_port.setDataTerminalReady(true);
    m_port.clearError();
    m_failed = false;
    return OpenResult::Opened;
}

void SerialDevice::close()
{
    if (m_port.isOpen())
        m_port.close(); // closing the descriptor also drops the flock
    m_port.clearError();
}

bool SerialDevice::isOpen() const
{
    return m_port.isOpen();
}

int SerialDevice::handle() const
{
    return m_port.isOpen() ? m_port.handle() : -1;
}

QByteArray SerialDevice::readQueued(qint64 maxBytes)
{
    if (!m_port.isOpen() || maxBytes <= 0)
        return {};
    if (m_port.bytesAvailable() < maxBytes) {
        // Pulls in what the driver holds now; with nothing there it returns at once.
        m_port.waitForReadyRead(0);
        if (m_port.error() == QSerialPort::TimeoutError)
            m_port.clearError();
    }
    return m_port.read(std::min(maxBytes, m_port.bytesAvailable()));
}

bool SerialDevice::writeAll(const char* data, qint64 size)
{
    if (m_failed)
        return false;
    if (!m_port.isOpen()) {
        markFailed(QString::fromLocal8Bit(std::strerror(EBADF)));
        return false;
    }
    if (size <= 0)
        return true;
    if (m_port.write(data, size) != size) {
        markFailed(m_port.errorString());
        return false;
    }
    // The time the bytes need at the line's rate (10 bits a byte), plus grace.
    const qint64 lineMs = size * 10 * 1000 / std::max<qint32>(m_port.baudRate(), 1);
    const int timeoutMs = static_cast<int>(std::min<qint64>(lineMs + WriteGraceMs, 600000));
    while (m_port.bytesToWrite() > 0 && !m_failed) {
        if (!m_port.waitForBytesWritten(timeoutMs)) {
            if (!m_failed) {
                markFailed(m_port.error() == QSerialPort::TimeoutError
                               ? QString::fromLocal8Bit(std::strerror(ETIMEDOUT))
                               : m_port.errorString());
            }
            return false;
        }
    }
    return !m_failed;
}

void SerialDevice::onPortError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        if (m_port.isOpen())
            markFailed(m_port.errorString());
        break;
    default:
        // Timeouts of non-waiting reads, modem lines a device does not have and
        // open failures (reported by open()) do not break an open link.
        break;
    }
}

void SerialDevice::markFailed(const QString& fallbackText)
{
    if (m_failed)
        return;
    m_failed = true;
    m_errorText = systemErrorText(fallbackText);
    emit failed();
}

// Qt reports a hung-up terminal (read returns 0) with a stale errno; asking the
// driver for the line settings gives the real reason, such as "Input/output error".
QString SerialDevice::systemErrorText(const QString& fallbackText) const
{
    if (m_port.isOpen()) {
        termios line {};
        if (::tcgetattr(m_port.handle(), &line) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    return fallbackText;
}
