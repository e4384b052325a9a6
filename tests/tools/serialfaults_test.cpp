// Serial faults against board-sim and real pseudo-terminals: the board
// vanishing at the first byte, between packets and in the middle of a packet
// the tool has queued for it; a second program holding the port; a flood of
// 1 MiB from the board while the tool sends. In every case the transfer stops
// with a message, the port is closed, and no tick blocks for a second.

#include "tests/support/ptypair.h"
#include "tools/board-sim/floodpattern.h"
#include "tests/tools/boardsimprocess.h"
#include "tests/tools/serialfaultrun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>

namespace {

// True when another descriptor of the device can take the exclusive lock.
bool portIsFree(const QString& device)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// What every vanished board must leave behind.
void expectStoppedWithMessage(const EngineRun& run, const char* headline)
{
    ASSERT_TRUE(run.end.has_value());
    EXPECT_EQ(*run.end, TransferEngine::TransferEnd::LinkFailed);
    EXPECT_EQ(run.engine.state(), TransferState::Closed);
    EXPECT_FALSE(run.engine.port().isOpen());
    EXPECT_FALSE(run.engine.isSendFileOpen());
    EXPECT_EQ(run.controls.startCaption, "Start");
    ASSERT_FALSE(run.controls.messages.isEmpty());
    const HeadlessControls::Message& last = run.controls.messages.last();
    EXPECT_EQ(last.text, QString::fromLatin1(headline) + "\nInput/output error");
    EXPECT_EQ(last.caption, "Comm Error");
    EXPECT_LT(run.longestTickMs, 1000);
}

// Runs `lines` against a board that hangs up after `hangupAfter` bytes; returns
// what the board read. Checks that the tick after the board was seen gone ended
// the transfer.
QByteArray sendToVanishingBoard(EngineRun& run, const QByteArray& lines, int hangupAfter)
{
    const QString log = run.dir.filePath(QStringLiteral("board.log"));
    BoardSimProcess board({QStringLiteral("--hangup-after"), QString::number(hangupAfter), QStringLiteral("--log"), log});
    EXPECT_TRUE(run.start(board.device, QStringLiteral("115200"), run.makeFile(lines)));
    int goneAt = -1;
    qint64 logged = 0;
    run.tickUntil([&] {
        // One packet per read of the board: wait until it took the last one (or left).
        QElapsedTimer waited;
        waited.start();
        while (run.ticks > 0 && goneAt < 0 && QFileInfo(log).size() == logged && !board.process.waitForFinished(1)
               && waited.elapsed() < 5000) {}
        logged = QFileInfo(log).size();
        if (goneAt < 0 && board.process.state() == QProcess::NotRunning)
            goneAt = run.ticks;
        return run.ended();
    });
    EXPECT_GE(goneAt, 0) << "the board never hung up";
    // Ticks after the hang-up was seen: the first one must stop the transfer.
    EXPECT_LE(run.ticks - goneAt, 1);
    QByteArray got;
    for (const LoggedRead& read : readBoardLog(log))
        got += read.bytes;
    return got;
}

} // namespace

TEST(SerialFaults, BoardVanishesAtTheFirstByte)
{
    EngineRun run;
    const QByteArray lines = numberedLines(200);
    const QByteArray got = sendToVanishingBoard(run, lines, 1);
    expectStoppedWithMessage(run, "COM Port Error !!!");
    // The first packet, and what the sender had written before the board's read: whole packets, in order.
    EXPECT_TRUE(lines.startsWith(got) && got.size() % 14 == 0 && !got.isEmpty()) << got.toStdString();
}

TEST(SerialFaults, BoardVanishesBetweenPackets)
{
    EngineRun run;
    const QByteArray lines = numberedLines(200);
    const QByteArray got = sendToVanishingBoard(run, lines, 3 * 14);
    expectStoppedWithMessage(run, "COM Port Error !!!");
    // Whole packets, in order, up to the read that made the board hang up.
    EXPECT_TRUE(lines.startsWith(got) && got.size() % 14 == 0 && got.size() >= 3 * 14) << got.toStdString();
    EXPECT_GE(run.engine.packetCount(), 3);
}

// The board stops reading, so the tool's bytes wait in its queue; the board is
// unplugged while they wait. The next tick finds the line gone and ends the
// transfer with the system's reason; no tick ever waits for the line.
TEST(SerialFaults, BoardVanishesWhileAPacketIsQueuedForIt)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    EngineRun run;
    ASSERT_TRUE(run.start(pty.path, QStringLiteral("921600"), run.makeFile(QByteArray(8 << 20, 'x')), 2048));
    // Ticks until the line takes nothing more and packets wait for it, then unplugs.
    int fullTicks = 0;
    run.tickUntil([&] {
        pollfd room {pty.slave(), POLLOUT, 0};
        const bool full = ::poll(&room, 1, 0) == 0 && run.engine.packetsInHand() > 0;
        return run.ended() || (fullTicks = full ? fullTicks + 1 : 0) == 3;
    });
    ASSERT_FALSE(run.ended());
    pty.closeMaster();
    run.tickUntil([&] { return run.ended(); }, 3);
    expectStoppedWithMessage(run, "COM Port Error !!!");
}

TEST(SerialFaults, APortHeldByAnotherProgramIsReportedBusy)
{
    BoardSimProcess board({});
    EngineRun run;
    QProcess holder;
    holder.start(builtProgram("app/flashupdate-cli"),
                 {QStringLiteral("send"), run.makeFile("one\ntwo\n"), QStringLiteral("--port"), board.device,
                  QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--lines"),
                  QStringLiteral("--gap"), QString::number(MaxTimeGap)});
    ASSERT_TRUE(holder.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (portIsFree(board.device) && holder.state() == QProcess::Running && waited.elapsed() < 30000)
        holder.waitForFinished(10);
    ASSERT_EQ(holder.state(), QProcess::Running) << holder.readAllStandardError().toStdString();
    ASSERT_FALSE(portIsFree(board.device));

    run.controls.port = board.device;
    run.controls.baud = QStringLiteral("9600");
    run.engine.applyPortSettings();
    EXPECT_EQ(run.engine.state(), TransferState::Closed);
    EXPECT_FALSE(run.engine.port().isOpen());
    ASSERT_EQ(run.controls.messages.size(), 1);
    EXPECT_EQ(run.controls.messages[0].text,
              QStringLiteral("Open COM Port Error !!!\nDevice or resource busy: held by process %1 (flashupdate-cli)")
                  .arg(holder.processId()));
    EXPECT_EQ(run.controls.messages[0].caption, "Comm Error");

    // Once the other program has let go, Start opens the port.
    holder.kill();
    holder.waitForFinished();
    ASSERT_TRUE(run.start(board.device, QStringLiteral("9600"), run.makeFile("x\n")));

    // And while we hold it, the other program is refused.
    QProcess second;
    second.start(builtProgram("app/flashupdate-cli"),
                 {QStringLiteral("send"), run.makeFile("y\n"), QStringLiteral("--port"), board.device,
                  QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--linger"), QStringLiteral("0")});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardError().contains("Open COM Port Error !!!"));
}

// The board answers the first packet with 1 MiB at once. Every byte is shown,
// in order; no tick takes more than the bounded chunk, so the window keeps
// handling its events; the file still reaches the board whole.
TEST(SerialFaults, AFloodOf1MiBWhileSendingLosesNothing)
{
    constexpr int floodBytes = 1 << 20;
    EngineRun run;
    const QString log = run.dir.filePath(QStringLiteral("board.log"));
    BoardSimProcess board({QStringLiteral("--flood"), QString::number(floodBytes), QStringLiteral("--log"), log});
    const QByteArray lines = numberedLines(300);
    ASSERT_TRUE(run.start(board.device, QStringLiteral("115200"), run.makeFile(lines)));
    QElapsedTimer wall;
    wall.start();
    run.tickUntil([&] {
        return (run.ended() && run.received().size() >= floodBytes) || wall.elapsed() > 120000;
    });
    ASSERT_TRUE(run.end.has_value());
    EXPECT_EQ(*run.end, TransferEngine::TransferEnd::NoMoreData);
    EXPECT_EQ(run.engine.state(), TransferState::Idle);
    EXPECT_EQ(run.received(), QByteArray::fromStdString(FloodPattern(floodBytes)));
    for (const QByteArray& part : run.controls.log)
        EXPECT_LE(part.size(), TransferEngine::ReceiveChunk);
    EXPECT_LT(run.longestTickMs, 1000);
    board.stop();
    QByteArray got;
    for (const LoggedRead& read : readBoardLog(log))
        got += read.bytes;
    EXPECT_EQ(got, lines);
}
