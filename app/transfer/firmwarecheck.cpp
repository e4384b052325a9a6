#include "app/transfer/firmwarecheck.h"

#include "app/transfer/escapedtext.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <utility>

namespace {

// Each format's name for people and its key for the report, in the order of FirmwareFormat.
struct FormatNaming {
    const char* name;
    const char* key;
};
constexpr FormatNaming FormatNames[] = {
    {"no known format", "raw"},
    {"Intel HEX", "intel-hex"},
    {"S-record", "s-record"},
};

// The longest record: S-records of 255 bytes take 2 + 510 characters, Intel
// HEX records 1 + 2 × (5 + 255) = 521. A longer line is not kept whole.
constexpr qsizetype MaxLine = 1024;

QString hex2(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The hex digits after a record's lead as bytes, or what is wrong with them.
std::optional<QString> decodeHex(const char* digits, qsizetype count, QByteArray& bytes)
{
    for (qsizetype i = 0; i < count; ++i) {
        if (HexDigitValue(digits[i]) >= 0)
            continue;
        const auto c = static_cast<unsigned char>(digits[i]);
        if (c >= 0x20 && c < 0x7F)
            return QStringLiteral("'%1' is not a hex digit").arg(QLatin1Char(char(c)));
        return QStringLiteral("byte 0x%1 is not a hex digit").arg(hex2(c));
    }
    if (count % 2 != 0)
        return QStringLiteral("odd number of hex digits");
    bytes.resize(count / 2);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(HexDigitValue(digits[2 * i]) << 4 | HexDigitValue(digits[2 * i + 1]));
    return std::nullopt;
}

int byteAt(const QByteArray& bytes, qsizetype i)
{
    return static_cast<unsigned char>(bytes[i]);
}

int sumOf(const QByteArray& bytes, qsizetype count)
{
    int sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += byteAt(bytes, i);
    return sum & 0xFF;
}

QString countMismatch(int count, qsizetype has)
{
    return QStringLiteral("byte count %1, line has %2").arg(hex2(count)).arg(has);
}

QString checksumMismatch(int stored, int computed)
{
    return QStringLiteral("checksum %1, computed %2").arg(hex2(stored), hex2(computed));
}

} // namespace

void FirmwareScanner::feed(const char* data, qsizetype size)
{
    while (size > 0) {
        const char* end = static_cast<const char*>(std::memchr(data, '\n', size_t(size)));
        const qsizetype piece = end ? end - data : size;
        const qsizetype room = MaxLine - m_line.size();
        m_line.append(data, std::min(piece, room));
        m_lineTooLong = m_lineTooLong || piece > room;
        if (!end)
            return;
        takeLine();
        data = end + 1;
        size -= piece + 1;
    }
}

FirmwareCheck FirmwareScanner::finish()
{
    if (!m_line.isEmpty())
        takeLine(); // the last line, without a line feed
    if (m_raw || !m_formatKnown)
        return {};
    if (!m_check.failed() && !m_ended)
        m_check.fault = QStringLiteral("no end record");
    return m_check;
}

void FirmwareScanner::takeLine()
{
    ++m_lineNumber;
    QByteArray line = std::exchange(m_line, {});
    const bool tooLong = std::exchange(m_lineTooLong, false);
    if (m_raw)
        return;
    qsizetype length = line.size();
    while (length > 0 && isBlank(line[length - 1]))
        --length;
    if (length == 0 && !tooLong)
        return;
    const bool intelLead = line.startsWith(':');
    const bool sLead = length >= 2 && line[0] == 'S' && line[1] >= '0' && line[1] <= '9';
    if (!m_formatKnown && (intelLead || sLead)) {
        m_formatKnown = true;
        m_check.format = intelLead ? FirmwareFormat::IntelHex : FirmwareFormat::SRecord;
    }
    if (!m_formatKnown || (m_check.format == FirmwareFormat::IntelHex ? !intelLead : !sLead)) {
        m_raw = true;
        return;
    }
    // Lines after the first fault are still read: they decide the format,
    // and their sound data records count for the address range.
    std::optional<QString> fault;
    QByteArray bytes;
    if (tooLong)
        fault = QStringLiteral("longer than any record");
    else if (m_ended)
        fault = QStringLiteral("record after the end record");
    else if (sLead && line[1] == '4')
        fault = QStringLiteral("unknown record type S4");
    else {
        const qsizetype lead = intelLead ? 1 : 2;
        fault = decodeHex(line.constData() + lead, length - lead, bytes);
        if (!fault)
            fault = intelLead ? checkIntelHex(bytes) : checkSRecord(line[1] - '0', bytes);
    }
    if (fault && !m_check.failed())
        m_check.fault = QStringLiteral("line %1: %2").arg(m_lineNumber).arg(*fault);
}

void FirmwareScanner::addData(quint64 address, qsizetype count)
{
    if (count <= 0)
        return;
    const quint64 last = address + quint64(count) - 1;
    m_check.firstAddress = std::min(m_check.firstAddress.value_or(address), address);
    m_check.lastAddress = std::max(m_check.lastAddress.value_or(last), last);
}

// ':' count(1) address(2) type(1) data(count) checksum(1); the checksum makes
// the sum of all bytes 0 modulo 256.
std::optional<QString> FirmwareScanner::checkIntelHex(const QByteArray& bytes)
{
    if (bytes.size() < 5)
        return QStringLiteral("too short for a record");
    const int count = byteAt(bytes, 0);
    if (count != bytes.size() - 5)
        return countMismatch(count, bytes.size() - 5);
    const int stored = byteAt(bytes, bytes.size() - 1);
    const int computed = (0x100 - sumOf(bytes, bytes.size() - 1)) & 0xFF;
    if (stored != computed)
        return checksumMismatch(stored, computed);
    const int type = byteAt(bytes, 3);
    if (type > 5)
        return QStringLiteral("unknown record type %1").arg(hex2(type));
    // End of file: no data; extended segment and linear address: 2 bytes;
    // start segment and linear address: 4 bytes.
    constexpr int NeededCount[] = {-1, 0, 2, 4, 2, 4};
    if (NeededCount[type] >= 0 && count != NeededCount[type])
        return QStringLiteral("record type %1 needs byte count %2, has %3")
            .arg(hex2(type), hex2(NeededCount[type]), hex2(count));
    const quint64 offset = quint64(byteAt(bytes, 1)) << 8 | quint64(byteAt(bytes, 2));
    const quint64 value = count == 2 ? quint64(byteAt(bytes, 4)) << 8 | quint64(byteAt(bytes, 5)) : 0;
    switch (type) {
    case 0:
        addData(m_base + offset, count);
        break;
    case 1:
        m_ended = true;
        break;
    case 2:
        m_base = value << 4;
        break;
    case 4:
        m_base = value << 16;
        break;
    default:
        break;
    }
    return std::nullopt;
}

// 'S' type count(1) address(2, 3 or 4) data checksum(1); the count covers the
// address, the data and the checksum, which is the ones' complement of the
// sum of the count, address and data bytes.
std::optional<QString> FirmwareScanner::checkSRecord(int type, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QStringLiteral("too short for a record");
    const int count = byteAt(bytes, 0);
    if (count != bytes.size() - 1)
        return countMismatch(count, bytes.size() - 1);
    constexpr int AddressBytes[] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};
    const int addressBytes = AddressBytes[type];
    if (count < addressBytes + 1)
        return QStringLiteral("too short for a record");
    const int stored = byteAt(bytes, bytes.size() - 1);
    const int computed = ~sumOf(bytes, bytes.size() - 1) & 0xFF;
    if (stored != computed)
        return checksumMismatch(stored, computed);
    if (type >= 1 && type <= 3) {
        quint64 address = 0;
        for (int i = 0; i < addressBytes; ++i)
            address = address << 8 | quint64(byteAt(bytes, 1 + i));
        addData(address, count - addressBytes - 1);
    }
    if (type >= 7)
        m_ended = true;
    return std::nullopt;
}

FirmwareCheck CheckFirmware(const QByteArray& contents)
{
    FirmwareScanner scanner;
    scanner.feed(contents.constData(), contents.size());
    return scanner.finish();
}

FirmwareFile ReadFirmwareFile(const QByteArray& path, bool hashed)
{
    FirmwareFile file;
    struct stat status {};
    if (path == "-" || ::stat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return file;
    QFile in(QFile::decodeName(path));
    if (!in.open(QIODevice::ReadOnly)) {
        file.error = TransferError::FromErrno(TransferError::Operation::OpenFile, in.fileName(), errno);
        return file;
    }
    file.readAhead = true;
    FirmwareScanner scanner;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char buffer[64 * 1024];
    qint64 total = 0;
    for (qint64 got = in.read(buffer, sizeof buffer); got != 0; got = in.read(buffer, sizeof buffer)) {
        if (got < 0) {
            file.error = {TransferError::Operation::ReadFile, in.fileName(), in.errorString(), EIO};
            file.readAhead = false;
            return file;
        }
        scanner.feed(buffer, got);
        total += got;
        if (hashed)
            hash.addData(QByteArrayView(buffer, got));
        else if (scanner.isRaw())
            break;
    }
    file.bytes = hashed ? total : in.size();
    if (hashed)
        file.sha256 = hash.result().toHex();
    file.check = scanner.finish();
    return file;
}

QString FirmwareFormatName(FirmwareFormat format)
{
    return QString::fromLatin1(FormatNames[int(format)].name);
}

QString FirmwareFormatKey(FirmwareFormat format)
{
    return QString::fromLatin1(FormatNames[int(format)].key);
}

QString AddressRangeText(const FirmwareCheck& check)
{
    if (!check.firstAddress || !check.lastAddress)
        return {};
    const int digits = *check.lastAddress > 0xFFFF ? 8 : 4;
    const auto address = [digits](quint64 value) {
        return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
    };
    return address(*check.firstAddress) + QLatin1Char('-') + address(*check.lastAddress);
}

QString FormatAndRangeText(const FirmwareCheck& check)
{
    const QString range = AddressRangeText(check);
    return FirmwareFormatName(check.format) + (range.isEmpty() ? QString() : QStringLiteral(", addresses ") + range);
}
