#include "app/transfer/lineformat.h"
#include "app/transfer/wiretime.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The longest line of a regular file is found by reading it ahead; a FIFO is
// never read ahead, so every byte waiting in it is left for the transfer.
TEST(WireTime, ReadsAheadOnlyInRegularFiles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lines.txt"));
    {
        const QByteArray text = "ab\nabcdef\nabc";
        const int fd = ::open(file.toLocal8Bit().constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::write(fd, text.constData(), text.size()), text.size());
        ::close(fd);
    }
    EXPECT_EQ(LongestPacket(file, false, 512), 7);
    EXPECT_EQ(LongestPacket(file, true, 512), 512);

    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const int reader = ::open(fifo.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.toLocal8Bit().constData(), O_WRONLY);
    ASSERT_EQ(::write(writer, "line\n", 5), 5);
    EXPECT_EQ(LongestPacket(fifo, false, 512), 0);
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 5) << "the scan took bytes out of the FIFO";
    ::close(writer);
    ::close(reader);
}

// A character takes a start bit, its data bits, the parity bit and its stop
// bits: the warning and the rate it gives count them all.
TEST(WireTime, CountsTheBitsOfTheLineFormat)
{
    struct Case {
        LineFormat format;
        qint64 packet, baud;
        int gapMs;
        const char* warning; // nullptr: the packet fits the gap
    };
    const LineFormat eightN1;
    const LineFormat sevenE2 {QSerialPort::Data7, QSerialPort::EvenParity, QSerialPort::TwoStop};
    const LineFormat eightO2 {QSerialPort::Data8, QSerialPort::OddParity, QSerialPort::TwoStop};
    const LineFormat fiveN1 {QSerialPort::Data5};
    const Case cases[] = {
        {eightN1, 2048, 115200, 20, "A packet of 2048 bytes takes 178 ms on the wire at 115200 baud, longer than the "
                                    "Time Gap of 20 ms: the line sets the pace, about 11520 bytes/s."},
        {sevenE2, 2048, 115200, 20, "A packet of 2048 bytes takes 196 ms on the wire at 115200 baud, longer than the "
                                    "Time Gap of 20 ms: the line sets the pace, about 10472 bytes/s."},
        {fiveN1, 2048, 115200, 20, "A packet of 2048 bytes takes 125 ms on the wire at 115200 baud, longer than the "
                                   "Time Gap of 20 ms: the line sets the pace, about 16457 bytes/s."},
        // 100 bytes at 57600 baud: 18 ms at 10 bits a byte, 21 ms at 12.
        {eightN1, 100, 57600, 20, nullptr},
        {eightO2, 100, 57600, 20, "A packet of 100 bytes takes 21 ms on the wire at 57600 baud, longer than the "
                                  "Time Gap of 20 ms: the line sets the pace, about 4800 bytes/s."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.bitsPerCharacter());
        EXPECT_EQ(WireTimeWarning(c.packet, c.baud, c.gapMs, c.format.bitsPerCharacter()),
                  QString::fromLatin1(c.warning ? c.warning : ""));
    }
}
