// The transfer engine on a real pseudo-terminal: packet boundaries, end
// messages, Stop, the controls, and a board that goes away. Ticks are run by
// hand, each until the next packet has gone out, so nothing depends on the
// machine's speed.

#include "tests/support/enginerig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Tick {
    QByteArray packet;         // what reached the line in this tick
    QList<QByteArray> packets; // the same, packet by packet
    QString message;           // the message the tick showed, if any
};

// A tick lasts no longer than this, however slow the machine.
constexpr int TickLimitMs = 10000;

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

class TransferEngineTest : public testing::Test, public PtyEngineRig {
protected:
    TransferEngineTest() : PtyEngineRig(QStringLiteral("115200"))
    {
        QObject::connect(&engine, &TransferEngine::packetWritten, &engine,
                         [this](qint64 bytes, qint64) { written << int(bytes); });
    }
    void SetUp() override
    {
        ASSERT_TRUE(pty.isOpen());
        // The sender keeps the Time Gap between packets: the shortest keeps the runs short.
        controls.timeGap = QStringLiteral("1");
        engine.timeGapEdited();
    }

    void start(const QByteArray& bytes, std::optional<int> dataSize = std::nullopt)
    {
        controls.sendFile = makeFile(bytes);
        controls.pauseChecked = dataSize.has_value();
        if (dataSize)
            controls.dataSize = QString::number(*dataSize);
        engine.startOrStop();
        waitForSendFile();
    }

    // One tick, then until the next packet handed over has gone out (the
    // sender writes it at its deadline) or nothing is in hand.
    Tick tick()
    {
        waitForSendFile();
        const qsizetype packets = written.size();
        const qsizetype messages = controls.messages.size();
        engine.tick();
        const QDeadlineTimer limit(TickLimitMs);
        while (written.size() == packets && engine.packetsInHand() > 0 && !limit.hasExpired()) {
            QCoreApplication::sendPostedEvents();
            if (written.size() == packets)
                QThread::msleep(1);
        }
        // Also packets counted outside a tick (a Start while one runs) are read here.
        Tick result;
        for (; taken < written.size(); ++taken) {
            result.packets << pty.read(written[taken]);
            result.packet += result.packets.last();
        }
        if (controls.messages.size() != messages)
            result.message = controls.messages.last().text;
        return result;
    }

    // Ticks until the transfer has ended; one entry per tick.
    QList<Tick> run(int maxTicks = 100)
    {
        QList<Tick> ticks;
        while ((engine.isSending() || engine.state() == TransferState::Draining) && ticks.size() < maxTicks)
            ticks << tick();
        return ticks;
    }

    static QList<QByteArray> packetsOf(const QList<Tick>& ticks)
    {
        QList<QByteArray> packets;
        for (const Tick& t : ticks)
            packets << t.packets;
        return packets;
    }

    // Reads from the line the packets counted so far, outside any tick.
    void skipWritten()
    {
        for (; taken < written.size(); ++taken)
            pty.read(written[taken]);
    }

    QList<int> written; // the size of each packet the sender wrote
    qsizetype taken = 0; // of them read from the line
};

QByteArray bytesWithoutLineFeeds(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += char('a' + i % 26);
    return bytes;
}

} // namespace

TEST_F(TransferEngineTest, LineModeSendsOneLineOrAtMost2048BytesPerTick)
{
    struct Case {
        QByteArray file;
        QList<QByteArray> packets;
        QString end;
        int ticks;
    };
    const QByteArray long5000 = bytesWithoutLineFeeds(5000);
    const QList<Case> cases {
        {QByteArray(), {}, "no data any more!", 1},
        {long5000, {long5000.left(2048), long5000.mid(2048, 2048), long5000.mid(4096)},
         "Send Data Finished!", 3},
        {"A\nB\n", {"A\n", "B\n"}, "no data any more!", 2},
        {"x\r\ny", {"x\r\n", "y"}, "Send Data Finished!", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.left(20).toStdString());
        start(c.file);
        ASSERT_EQ(engine.state(), TransferState::Sending);
        EXPECT_EQ(controls.progressMaximum, c.file.size());
        const QList<Tick> ticks = run();
        EXPECT_LE(ticks.size(), c.ticks); // the end is told with the last packet, or on the tick after it
        EXPECT_EQ(packetsOf(ticks), c.packets);
        EXPECT_EQ(ticks.last().message, c.end);
        for (int i = 0; i + 1 < ticks.size(); ++i)
            EXPECT_TRUE(ticks[i].message.isEmpty());
        EXPECT_EQ(controls.counter, QString::number(c.packets.size()));
        EXPECT_EQ(controls.progressPosition, c.file.size());
        EXPECT_FALSE(engine.isSendFileOpen());
    }
    EXPECT_EQ(pty.readRest(), QByteArray());
}

TEST_F(TransferEngineTest, BlockModeFallsBackToALineWhenABlockDoesNotFit)
{
    struct Case {
        QByteArray file;
        int dataSize;
        QList<QByteArray> packets;
        QString end;
    };
    const QList<Case> cases {
        {"abcdefgh\nj", 4, {"abcd", "efgh", "\n", "j"}, "no data any more!"},
        {"abcdefgh", 4, {"abcd", "efgh"}, "no data any more!"},
        {"abcdefg", 4, {"abcd", "efg"}, "Send Data Finished!"},
        {"abcdefg\nxyz\n", 5, {"abcde", "fg\nxy", "z\n"}, "no data any more!"},
        {"abcdefgh", 0, {}, "no data any more!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        start(c.file, c.dataSize);
        const QList<Tick> ticks = run();
        EXPECT_EQ(packetsOf(ticks), c.packets);
        EXPECT_EQ(ticks.last().message, c.end);
        EXPECT_EQ(controls.counter, QString::number(c.packets.size()));
    }
    EXPECT_EQ(pty.readRest(), QByteArray());
}

TEST_F(TransferEngineTest, DataSizeAbove2048IsSentAs2048)
{
    start(bytesWithoutLineFeeds(5000), 5000);
    EXPECT_EQ(controls.dataSize, "2048");
    const QList<Tick> ticks = run();
    ASSERT_EQ(packetsOf(ticks).size(), 3);
    EXPECT_EQ(packetsOf(ticks)[0].size(), 2048);
    EXPECT_EQ(packetsOf(ticks)[2].size(), 904);
}

TEST_F(TransferEngineTest, ControlsFollowTheTransferAndStopInterruptsIt)
{
    // Long enough that the second packet is still in hand at Stop.
    controls.timeGap = QStringLiteral("1000");
    engine.timeGapEdited();
    start("one\ntwo\nthree\n");
    EXPECT_EQ(controls.startCaption, "Stop");
    EXPECT_FALSE(controls.browseEnabled || controls.setPortEnabled || controls.pauseEnabled
                 || controls.dataSizeEnabled);

    // Boxes typed into while sending go back to what the transfer uses.
    controls.timeGap = QStringLiteral("5");
    engine.timeGapEdited();
    EXPECT_EQ(controls.timeGap, "1000");
    EXPECT_EQ(engine.timer().interval(), 1000);

    EXPECT_EQ(tick().packet, "one\n");
    engine.startOrStop();
    EXPECT_EQ(controls.messages.last().text, "Transmit Interrupt !!!");
    EXPECT_EQ(ends.last(), TransferEngine::TransferEnd::Interrupted);
    EXPECT_EQ(controls.startCaption, "Start");
    EXPECT_TRUE(controls.browseEnabled && controls.setPortEnabled && controls.pauseEnabled
                && controls.dataSizeEnabled);
    EXPECT_FALSE(engine.isSendFileOpen());
    EXPECT_EQ(tick().packet, QByteArray());
    EXPECT_EQ(controls.counter, "1");

    // The packets not written were dropped, not sent late.
    EXPECT_EQ(pty.readRest(), QByteArray());
    // Starting again begins at the start of the file.
    controls.timeGap = QStringLiteral("1");
    engine.timeGapEdited();
    engine.startOrStop();
    EXPECT_EQ(packetsOf(run()), (QList<QByteArray> {"one\n", "two\n", "three\n"}));
}

TEST_F(TransferEngineTest, NoFileHandleOutlivesATransfer)
{
    engine.applyPortSettings();
    const int before = openDescriptors();
    start("a\nb\n");
    run();
    start("a\nb\n");
    tick();
    engine.startOrStop(); // Stop
    start("a\nb\n");
    tick();
    controls.sendFile = makeFile("c\n");
    engine.start(); // a new Start while the old file is open
    skipWritten();  // what the old transfer had written by then
    EXPECT_EQ(packetsOf(run()), QList<QByteArray> {"c\n"});
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(TransferEngineTest, AFileThatCannotBeOpenedStartsNothing)
{
    for (const QString& name : {dir.filePath(QStringLiteral("missing")), dir.path()}) {
        controls.sendFile = name;
        engine.startOrStop();
        ASSERT_TRUE(waitForSendFile());
        EXPECT_TRUE(controls.messages.last().text.startsWith("Can't Open Send File!\n"));
        EXPECT_EQ(engine.state(), TransferState::Idle);
        EXPECT_TRUE(engine.timer().isActive());
        EXPECT_EQ(controls.startCaption, "Start");
    }
}

TEST_F(TransferEngineTest, TheTimeGapIsThePreciseTimersInterval)
{
    controls.timeGap = QStringLiteral("0");
    engine.timeGapEdited();
    EXPECT_FALSE(engine.timer().isActive()); // an interval of 0 does not spin
    start("x\n");
    EXPECT_EQ(controls.timeGap, "1");
    EXPECT_EQ(engine.timer().interval(), 1);
    EXPECT_EQ(engine.timer().timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(engine.timer().isActive());
    run();

    for (const char* refused : {"", "-5", "abc", "99999999999"}) {
        controls.timeGap = QString::fromLatin1(refused);
        engine.timeGapEdited();
        EXPECT_EQ(controls.timeGap, "50") << refused;
        EXPECT_EQ(engine.timer().interval(), 50);
    }
    for (const char* refused : {"", "-1", "x"}) {
        controls.dataSize = QString::fromLatin1(refused);
        engine.dataSizeEdited();
        EXPECT_EQ(controls.dataSize, "512") << refused;
    }
    controls.dataSize = QStringLiteral("3000");
    engine.dataSizeEdited();
    EXPECT_EQ(controls.dataSize, "2048");
}

TEST_F(TransferEngineTest, ABoardUnpluggedMidTransferStopsItWithAnError)
{
    QByteArray lines;
    for (int i = 0; i < 50; ++i)
        lines += "line " + QByteArray::number(i) + '\n';
    start(lines);
    QByteArray sent = tick().packet;
    sent += tick().packet;
    EXPECT_TRUE(lines.startsWith(sent) && sent.size() >= 14) << sent.toStdString();
    pty.closeMaster();
    tick();
    EXPECT_EQ(engine.state(), TransferState::Closed);
    EXPECT_FALSE(engine.port().isOpen());
    EXPECT_FALSE(engine.isSendFileOpen());
    ASSERT_FALSE(controls.messages.isEmpty());
    EXPECT_TRUE(controls.messages.last().text.endsWith("\nInput/output error"))
        << controls.messages.last().text.toStdString();
    EXPECT_EQ(controls.messages.last().caption, "Comm Error");
    EXPECT_EQ(ends.last(), TransferEngine::TransferEnd::LinkFailed);
    EXPECT_EQ(controls.startCaption, "Start");
    for (const auto& message : controls.messages)
        EXPECT_NE(message.text, "Send Data Finished!");
}

TEST_F(TransferEngineTest, AFifoIsSentInOrderAsItsBytesCome)
{
    // Each step: what the writer does (nullopt closes it), then what the tick sends and says.
    struct Step {
        std::optional<QByteArray> write;
        QByteArray packet;
        QString message;
    };
    struct Case {
        std::optional<int> dataSize;
        QList<Step> steps;
    };
    const QList<Case> cases {
        {std::nullopt,
         {{QByteArray(), {}, {}}, // no writer yet: nothing, and Start did not wait for one
          {QByteArray("A\nB"), "A\n", {}},
          {QByteArray(), {}, {}}, // half a line waits for the rest
          {QByteArray("C\n"), "BC\n", {}},
          {std::nullopt, {}, "no data any more!"}}},
        {4,
         {{QByteArray("123456"), "1234", {}},
          {QByteArray(), {}, {}},
          {QByteArray("789"), "5678", {}},
          {std::nullopt, "9", "Send Data Finished!"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dataSize.value_or(0));
        const QString fifo = dir.filePath(QStringLiteral("fifo%1").arg(c.dataSize.value_or(0)));
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        controls.sendFile = fifo;
        controls.pauseChecked = c.dataSize.has_value();
        controls.dataSize = QString::number(c.dataSize.value_or(512));
        engine.startOrStop();
        ASSERT_TRUE(waitForSendFile());
        ASSERT_EQ(engine.state(), TransferState::Sending);
        EXPECT_EQ(controls.progressMaximum, -1); // no made-up total
        int writer = -1;
        qint64 written = 0;
        for (const Step& step : c.steps) {
            if (!step.write) {
                ::close(writer);
            } else if (!step.write->isEmpty()) {
                if (writer < 0)
                    writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                ASSERT_EQ(::write(writer, step.write->constData(), size_t(step.write->size())), step.write->size());
                written += step.write->size();
            }
            const Tick t = tick();
            EXPECT_EQ(t.packet, step.packet);
            EXPECT_EQ(t.message, step.message);
        }
        EXPECT_EQ(controls.progressPosition, written);
        EXPECT_FALSE(engine.isSending());
    }
}

// An open that blocks (a FIFO opened to wait for its writer, as a file on a
// slow network share or a device that waits in open would) holds up neither
// the event loop nor Stop. The file it opens after Stop is closed; after a
// new Start the file it opens is sent.
TEST_F(TransferEngineTest, AnOpenThatBlocksHoldsUpNeitherTheEventLoopNorStop)
{
    engine.setOpenWaitsForWriter(true);
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("slow")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    controls.sendFile = QFile::decodeName(fifo);
    engine.applyPortSettings();
    ASSERT_EQ(engine.state(), TransferState::Idle);
    const int before = openDescriptors();

    engine.startOrStop();
    EXPECT_TRUE(engine.isOpeningSendFile());
    EXPECT_EQ(controls.startCaption, "Stop");
    QEventLoop loop;
    QTimer::singleShot(20, &loop, [&] {
        engine.startOrStop(); // Stop, from the running event loop
        loop.quit();
    });
    loop.exec();
    EXPECT_EQ(controls.messages.last().text, "Transmit Interrupt !!!");
    EXPECT_EQ(ends.last(), TransferEngine::TransferEnd::Interrupted);
    EXPECT_FALSE(engine.isOpeningSendFile());
    EXPECT_EQ(controls.startCaption, "Start");

    // A writer lets the abandoned open return: what it opened is closed, which
    // the writer sees as the FIFO's last reader going away.
    int writer = ::open(fifo.constData(), O_WRONLY);
    ASSERT_GE(writer, 0);
    pollfd readerGone {writer, 0, 0};
    QElapsedTimer waited;
    waited.start();
    while (!(readerGone.revents & POLLERR) && waited.elapsed() < 10000) {
        luxtest::processEventsFor(1);
        ::poll(&readerGone, 1, 0);
    }
    EXPECT_TRUE(readerGone.revents & POLLERR);
    EXPECT_EQ(openDescriptors(), before + 1);
    ::close(writer);
    EXPECT_EQ(ends.size(), 1);

    engine.startOrStop();
    ASSERT_TRUE(engine.isOpeningSendFile());
    writer = ::open(fifo.constData(), O_WRONLY);
    ASSERT_EQ(::write(writer, "A\n", 2), 2);
    ::close(writer);
    ASSERT_TRUE(waitForSendFile());
    EXPECT_EQ(packetsOf(run()), QList<QByteArray> {"A\n"});
    EXPECT_EQ(controls.messages.last().text, "no data any more!");
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(TransferEngineTest, AFileThatChangesOrFailsToReadEndsInItsOwnFailure)
{
    struct Case {
        const char* name;
        std::function<void(const QString&)> change; // done after the first packet
        QString message;
    };
    // Larger than what is read ahead, so the cut and the growth come before the end is read.
    QByteArray lines = "first\n";
    for (int i = 0; i < 4000; ++i)
        lines += "line " + QByteArray::number(i) + '\n';
    const QList<Case> cases {
        {"cut short", [](const QString& path) { ::truncate(QFile::encodeName(path).constData(), 8); },
         "Send File Changed !!!\nit was cut short while it was sent: "},
        {"grown", [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("more\n");
         }, QStringLiteral("Send File Changed !!!\nit grew beyond its %1 bytes while it was sent").arg(lines.size())},
        {"replaced", [this](const QString& path) {
             ASSERT_EQ(::rename(QFile::encodeName(makeFile("other\n")).constData(), QFile::encodeName(path).constData()), 0);
         }, "Send File Changed !!!\nanother file took its place while it was sent"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(lines);
        EXPECT_TRUE(tick().packet.startsWith("first\n"));
        c.change(controls.sendFile);
        run(5000);
        ASSERT_FALSE(controls.messages.isEmpty());
        EXPECT_TRUE(controls.messages.last().text.startsWith(c.message)) << controls.messages.last().text.toStdString();
        EXPECT_EQ(ends.last(), TransferEngine::TransferEnd::FileFailed);
        EXPECT_FALSE(engine.isSendFileOpen());
    }

    // A read error is not the end of the file: reading this process's memory
    // at address 0 fails with an input/output error.
    controls.sendFile = QStringLiteral("/proc/self/mem");
    engine.startOrStop();
    run();
    EXPECT_EQ(controls.messages.last().text, "Send File Read Error !!!\nInput/output error")
        << controls.messages.last().text.toStdString();
    EXPECT_EQ(ends.last(), TransferEngine::TransferEnd::FileFailed);
}

TEST_F(TransferEngineTest, AFileNameThatIsNotTextIsSentByItsBytes)
{
    const QByteArray path = QFile::encodeName(dir.path()) + "/image-\xff\xfe.hex";
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(::write(fd, "bytes\n", 6), 6);
    ::close(fd);
    controls.sendFile = QFile::decodeName(path);
    controls.sendFileBytes = path;
    engine.startOrStop();
    EXPECT_EQ(packetsOf(run()), QList<QByteArray> {"bytes\n"});
    ::unlink(path.constData()); // the folder's clean-up cannot name it
}

// A board that stops reading: the tick never waits for it, so Stop is taken
// while the packets are stuck, and drops those not written.
TEST(TransferEngineStall, StopAnswersWhileTheBoardTakesNothingAndTheStallIsReported)
{
    PtyEngineRig rig(QStringLiteral("921600"));
    rig.controls.sendFile = rig.makeFile(QByteArray(4 * 1024 * 1024, 'z'));
    rig.controls.pauseChecked = true;
    rig.controls.dataSize = QStringLiteral("2048");
    rig.controls.timeGap = QStringLiteral("1");
    rig.engine.timeGapEdited();
    rig.engine.startOrStop();
    ASSERT_TRUE(rig.engine.isSending());

    // Stop is pressed once the line has taken nothing for two looks in a row.
    QEventLoop loop;
    QTimer look;
    int lastCount = -1;
    int stillLooks = 0;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        pollfd room {rig.pty.slave(), POLLOUT, 0};
        const bool full = ::poll(&room, 1, 0) == 0 && rig.engine.packetsInHand() > 0;
        stillLooks = full && rig.engine.packetCount() == lastCount ? stillLooks + 1 : 0;
        lastCount = rig.engine.packetCount();
        if (stillLooks == 2 && rig.ends.isEmpty())
            rig.engine.startOrStop();
        if (!rig.ends.isEmpty())
            loop.quit();
    });
    look.start(20);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();

    ASSERT_FALSE(rig.ends.isEmpty());
    EXPECT_EQ(rig.ends.first(), TransferEngine::TransferEnd::Interrupted);
    EXPECT_EQ(rig.engine.state(), TransferState::Idle);
    EXPECT_EQ(rig.engine.packetsInHand(), 0);
}

// The last packet refused by a line that takes nothing: the transfer ends as
// failed, and whoever waits for its end (the command-line sender) hears of it.
TEST(TransferEngineStall, ALastPacketTheBoardNeverTakesEndsTheTransferAsFailed)
{
    PtyEngineRig rig(QStringLiteral("921600"));
    rig.controls.sendFile = rig.makeFile("the only packet");
    rig.engine.startOrStop();
    ASSERT_TRUE(rig.waitForSendFile());
    // The line is full before the packet goes, and the board reads nothing.
    // The terminal moves what it holds on to the board's side in the
    // background, so it is filled until it has stayed full for a while.
    const int line = rig.pty.slave();
    ::fcntl(line, F_SETFL, ::fcntl(line, F_GETFL) | O_NONBLOCK);
    for (int stillFull = 0; stillFull < 5; ++stillFull) {
        for (const QByteArray& chunk : {QByteArray(512, 'f'), QByteArray(1, 'f')})
            while (::write(line, chunk.constData(), chunk.size()) > 0)
                stillFull = 0;
        QThread::msleep(10);
    }

    QEventLoop loop;
    QObject::connect(&rig.engine, &TransferEngine::transferEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit); // a transfer that never ends
    loop.exec();

    EXPECT_EQ(rig.ends, QList<TransferEngine::TransferEnd> {TransferEngine::TransferEnd::LinkFailed});
    EXPECT_EQ(rig.engine.packetCount(), 0); // it never went out whole
    ASSERT_FALSE(rig.controls.messages.isEmpty());
    EXPECT_TRUE(rig.controls.messages.last().text.startsWith("Send Data Error !!!\n"))
        << rig.controls.messages.last().text.toStdString();
}
