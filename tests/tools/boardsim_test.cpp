// The board simulator: replies, read log, idle exit, option limits and a flood
// too large to hold, seen through the same serial device the tool uses. Its
// hang-up is exercised by the flashupdate-cli tests.

#include "tests/tools/boardsimprocess.h"
#include "app/transfer/serialdevice.h"
#include "tools/board-sim/floodpattern.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QByteArray receive(SerialDevice& device, qsizetype count)
{
    QByteArray bytes;
    QElapsedTimer waited;
    waited.start();
    while (bytes.size() < count && !device.hasFailed() && waited.elapsed() < 10000) {
        const QByteArray more = device.readQueued(count - bytes.size());
        bytes += more;
        if (more.isEmpty())
            ::usleep(1000);
    }
    return bytes;
}

bool finishes(QProcess& process)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(10000);
}

} // namespace

TEST(BoardSim, RepliesToEachLineAndLogsEachRead)
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("reads.log"));
    {
        QFile earlier(logPath); // the log of an earlier run, which --log appends to
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("1 1 41\n");
    }
    BoardSimProcess board({QStringLiteral("--log"), logPath, QStringLiteral("--reply"), QStringLiteral("OK\\r\\n")});
    ASSERT_TRUE(board.device.startsWith(QStringLiteral("/dev/")));
    SerialDevice device;
    ASSERT_FALSE(device.open(board.device, 115200).failed());

    ASSERT_FALSE(device.writeAll("hello\n", 6).failed());
    EXPECT_EQ(receive(device, 4), "OK\r\n");
    ASSERT_FALSE(device.writeAll("a\nb\n\x00\xff", 6).failed());
    EXPECT_EQ(receive(device, 8), "OK\r\nOK\r\n");
    board.stop();

    const QList<LoggedRead> reads = readBoardLog(logPath);
    QByteArray all;
    for (int i = 0; i < reads.size(); ++i) {
        all += reads[i].bytes;
        if (i > 0) {
            EXPECT_GE(reads[i].timeUs, reads[i - 1].timeUs);
        }
    }
    EXPECT_EQ(all, QByteArray("Ahello\na\nb\n\x00\xff", 13));
}

TEST(BoardSim, QuitsWhenIdleAndRefusesUnknownOrOutOfRangeOptions)
{
    BoardSimProcess idle({QStringLiteral("--quit-after-idle"), QStringLiteral("50")});
    ASSERT_TRUE(finishes(idle.process));
    EXPECT_EQ(idle.process.exitCode(), 0);

    const QStringList wrong[] = {
        {QStringLiteral("--baud"), QStringLiteral("9600")},
        {QStringLiteral("--flood"), QStringLiteral("1000000000001")},
        {QStringLiteral("--flood"), QStringLiteral("99999999999999999999")},
        {QStringLiteral("--hangup-after"), QStringLiteral("-1")},
        {QStringLiteral("--quit-after-idle"), QStringLiteral("4294967296")},
        {QStringLiteral("--quit-after-idle"), QStringLiteral("86400001")},
    };
    for (const QStringList& arguments : wrong) {
        BoardSimProcess board(arguments);
        ASSERT_TRUE(finishes(board.process));
        EXPECT_EQ(board.process.exitCode(), 2) << arguments.join(u' ').toStdString();
        const QByteArray message = board.process.readAllStandardError();
        EXPECT_TRUE(message.startsWith("board-sim: ") && message.contains(arguments[0].toLatin1()))
            << arguments.join(u' ').toStdString();
    }
}

TEST(BoardSim, AFloodTooLargeToHoldIsMadeAsItIsSent)
{
    BoardSimProcess board({QStringLiteral("--flood"), QStringLiteral("100000000000")});
    SerialDevice device;
    ASSERT_FALSE(device.open(board.device, 115200).failed());
    ASSERT_FALSE(device.writeAll("go\n", 3).failed());
    constexpr qsizetype start = 1 << 20;
    EXPECT_EQ(receive(device, start), QByteArray::fromStdString(FloodPattern(start)));
    ASSERT_EQ(board.process.state(), QProcess::Running);

    // Its peak memory stays far below what the whole flood would need.
    QFile status(QStringLiteral("/proc/%1/status").arg(board.process.processId()));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmHWM:");
    ASSERT_GE(at, 0);
    EXPECT_LT(text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').first().toLongLong(), 128 * 1024)
        << "kB";
}

TEST(BoardSim, HelpGivesEachOptionItsRangeAndDefaultAndValuesMayFollowAnEqualsSign)
{
    struct Listed {
        const char* option;
        const char* range;
        const char* byDefault;
    };
    const Listed listed[] = {
        {"--log <FILE>", "", "Default: no log."},
        {"--reply <TEXT>", "\\xHH", "Default: no reply."},
        {"--reply-after-line <TEXT>", "5 ms", "Default: no reply."},
        {"--stop-replying-after <N>", "N from 0 to 1000000000000.", "Default: answers for ever."},
        {"--flood <N>", "N from 0 to 1000000000000 (1 TB).", "Default: 0, no flood."},
        {"--hangup-after <N>", "N from 0 to 1000000000000.", "Default: never."},
        {"--quit-after-idle <MS>", "MS from 0 to 86400000 (one day).", "Default: runs until killed."},
        {"-h, --help", "", ""},
        {"-v, --version", "", ""},
    };
    BoardSimProcess help({QStringLiteral("--help")});
    ASSERT_TRUE(finishes(help.process));
    EXPECT_EQ(help.process.exitCode(), 0);
    const QString text = help.device + u'\n' + QString::fromLocal8Bit(help.process.readAllStandardOutput());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Usage: board-sim [options]\n")));
    for (const Listed& entry : listed) {
        const qsizetype at = text.indexOf(QLatin1String("\n  ") + QLatin1String(entry.option));
        ASSERT_GE(at, 0) << entry.option;
        const QString lines = text.mid(at + 1, text.indexOf(QLatin1String("\n  -"), at + 1) - at - 1).simplified();
        EXPECT_TRUE(lines.contains(QLatin1String(entry.range)) && lines.contains(QLatin1String(entry.byDefault)))
            << lines.toStdString();
    }

    BoardSimProcess version({QStringLiteral("--version")});
    ASSERT_TRUE(finishes(version.process));
    EXPECT_TRUE(version.device.startsWith(QStringLiteral("board-sim 1."))) << version.device.toStdString();

    BoardSimProcess idle({QStringLiteral("--quit-after-idle=50"), QStringLiteral("--reply=OK")});
    ASSERT_TRUE(finishes(idle.process));
    EXPECT_EQ(idle.process.exitCode(), 0);

    for (const char* wrong : {"--flood=-1", "--quit-after-idle=1e3", "--hangup-after="}) {
        BoardSimProcess board({QString::fromLatin1(wrong)});
        ASSERT_TRUE(finishes(board.process));
        EXPECT_EQ(board.process.exitCode(), 2) << wrong;
        const QByteArray option = QByteArray(wrong).left(QByteArray(wrong).indexOf('='));
        EXPECT_TRUE(board.process.readAllStandardError().startsWith("board-sim: " + option)) << wrong;
    }
}
