#include "app/transfer/firmwarecheck.h"
#include "tests/support/testsupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray IntelData = ":1000000000112233445566778899AABBCCDDEEFFF8\n";
const QByteArray IntelEnd = ":00000001FF\n";
const QByteArray SData = "S1050000AABB95\n";
const QByteArray SEnd = "S9030000FC\n";

// Checks `file` fed whole and fed a byte at a time, which must agree.
FirmwareCheck checkBothWays(const QByteArray& file)
{
    const FirmwareCheck whole = CheckFirmware(file);
    FirmwareScanner scanner;
    for (const char c : file)
        scanner.feed(&c, 1);
    const FirmwareCheck bytewise = scanner.finish();
    EXPECT_EQ(bytewise.format, whole.format);
    EXPECT_EQ(bytewise.fault, whole.fault);
    EXPECT_EQ(AddressRangeText(bytewise), AddressRangeText(whole));
    return whole;
}

} // namespace

TEST(FirmwareCheck, NamesTheFirstFaultOfEitherFormat)
{
    struct Case {
        QByteArray file;
        const char* fault;
    };
    const Case cases[] = {
        {IntelData.repeated(6) + ":02001000AA043F\n" + IntelEnd, "line 7: checksum 3F, computed 40"},
        {IntelData.repeated(11) + ":1000000000112233445566778899AABBCCDDEEF8\n" + IntelEnd,
         "line 12: byte count 10, line has 15"},
        {":10000000001122334455667788G9AABBCCDDEEFFF8\n" + IntelEnd, "line 1: 'G' is not a hex digit"},
        {":1000000000112233\x01" "45566778899AABBCCDDEEFFF8\n" + IntelEnd, "line 1: byte 0x01 is not a hex digit"},
        {IntelData + ":1000000000112233445566778899AABBCCDDEEFFF\n" + IntelEnd, "line 2: odd number of hex digits"},
        {":0000\n" + IntelEnd, "line 1: too short for a record"},
        {":0100000600F9\n" + IntelEnd, "line 1: unknown record type 06"},
        {":0400000408000000F0\n" + IntelEnd, "line 1: record type 04 needs byte count 02, has 04"},
        {IntelData, "no end record"},
        {IntelData + IntelEnd + IntelData, "line 3: record after the end record"},
        {":" + QByteArray(1100, '0') + "\n" + IntelEnd, "line 1: longer than any record"},
        {SData + "S1050000AABB96\n" + SEnd, "line 2: checksum 96, computed 95"},
        {"S1060000AABB95\n" + SEnd, "line 1: byte count 06, line has 5"},
        {"S10500Z0AABB95\n" + SEnd, "line 1: 'Z' is not a hex digit"},
        {"S1050000AABB9\n" + SEnd, "line 1: odd number of hex digits"},
        {"S4050000AABB95\n" + SEnd, "line 1: unknown record type S4"},
        {"S1020000\n" + SEnd, "line 1: too short for a record"},
        {SData, "no end record"},
        {SData + SEnd + SData, "line 3: record after the end record"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.left(60).toStdString());
        const FirmwareCheck check = checkBothWays(c.file);
        EXPECT_EQ(check.format, c.file.startsWith(':') ? FirmwareFormat::IntelHex : FirmwareFormat::SRecord);
        EXPECT_EQ(check.fault, QString::fromLatin1(c.fault));
    }
}

// Whole files with CR LF ends, trailing blanks, blank lines and no last line
// feed give their data's address range; a file with any line that is no
// record is of no known format, even after a damaged record.
TEST(FirmwareCheck, TakesWholeFilesAndTellsOtherFilesApart)
{
    struct Case {
        QByteArray file;
        FirmwareFormat format;
        const char* range;
    };
    const Case cases[] = {
        {":020000040800F2\r\n:1000000000112233445566778899aabbccddeefff8\r\n\r\n"
         ":10FFF00000112233445566778899AABBCCDDEEFF09 \t\r\n:00000001FF\r\n",
         FirmwareFormat::IntelHex, "0x08000000-0x0800FFFF"},
        {":020000021000EC\n:0400200001020304D2\n:00000001FF", FirmwareFormat::IntelHex, "0x00010020-0x00010023"},
        {IntelEnd, FirmwareFormat::IntelHex, ""},
        {"S00F000068656C6C6F202020202000003C\nS208010000DEADBEEFBE\nS30A080000100102030405CE\n"
         "S30A080000000102030405DE\nS70508000000F2\n",
         FirmwareFormat::SRecord, "0x00010000-0x08000014"},
        {"S11F00007C0802A6900100049421FFF07C6C1B787C8C23783C6000003863000026\r\n"
         "S111003848656C6C6F20776F726C642E0A0042\r\nS5030002FA\r\nS9030000FC\r\n",
         FirmwareFormat::SRecord, "0x0000-0x0045"},
        {"hello\n" + IntelEnd, FirmwareFormat::Raw, ""},
        {IntelEnd + "hello", FirmwareFormat::Raw, ""},
        {" " + IntelEnd, FirmwareFormat::Raw, ""},
        {":02001000AA043F\nplain text\n", FirmwareFormat::Raw, ""},
        {SData + IntelEnd, FirmwareFormat::Raw, ""},
        {QByteArray("\x7f" "ELF\0\0\n\xff:", 9), FirmwareFormat::Raw, ""},
        {"\n\n", FirmwareFormat::Raw, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.left(60).toStdString());
        const FirmwareCheck check = checkBothWays(c.file);
        EXPECT_EQ(check.format, c.format);
        EXPECT_EQ(check.fault, QString());
        EXPECT_EQ(AddressRangeText(check), QString::fromLatin1(c.range));
    }
}

// A regular file is read through for its size, SHA-256 and check; a FIFO is
// not read ahead, so its bytes are left for the transfer.
TEST(FirmwareCheck, ReadsOnlyRegularFilesAhead)
{
    QTemporaryDir dir;
    const QString file = luxtest::writeFile(dir.filePath(QStringLiteral("abc.hex")), "abc");
    const FirmwareFile read = ReadFirmwareFile(QFile::encodeName(file));
    EXPECT_TRUE(read.readAhead);
    EXPECT_EQ(read.bytes, 3);
    EXPECT_EQ(read.sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(read.check.format, FirmwareFormat::Raw);

    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.constData(), O_WRONLY);
    ASSERT_EQ(::write(writer, IntelEnd.constData(), size_t(IntelEnd.size())), IntelEnd.size());
    EXPECT_FALSE(ReadFirmwareFile(fifo).readAhead);
    EXPECT_FALSE(ReadFirmwareFile("-").readAhead);
    char got[32] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), IntelEnd.size());
    ::close(writer);
    ::close(reader);
}
