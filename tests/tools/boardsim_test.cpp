// The board simulator: replies, read log and idle exit, seen through the same
// serial device the tool uses. Its flood and hang-up are exercised by the
// flashupdate-cli tests.

#include "tests/tools/boardsimprocess.h"
#include "app/transfer/serialdevice.h"

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
    EXPECT_EQ(all, QByteArray("hello\na\nb\n\x00\xff", 12));
}

TEST(BoardSim, QuitsWhenIdleAndRefusesUnknownOptions)
{
    BoardSimProcess idle({QStringLiteral("--quit-after-idle"), QStringLiteral("50")});
    ASSERT_TRUE(finishes(idle.process));
    EXPECT_EQ(idle.process.exitCode(), 0);

    BoardSimProcess wrong({QStringLiteral("--baud"), QStringLiteral("9600")});
    ASSERT_TRUE(finishes(wrong.process));
    EXPECT_EQ(wrong.process.exitCode(), 2);
}
