// The transfer engine on a real pseudo-terminal: packet boundaries, end
// messages, Stop, the controls, and a board that goes away. Ticks are run by
// hand, one call per tick, so nothing depends on the machine's speed.

#include "tests/support/enginerig.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct Tick {
    QByteArray packet; // what reached the line in this tick
    QString message;   // the message the tick showed, if any
};

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

class TransferEngineTest : public testing::Test, public PtyEngineRig {
protected:
    TransferEngineTest() : PtyEngineRig(QStringLiteral("115200")) {}
    void SetUp() override { ASSERT_TRUE(pty.isOpen()); }

    void start(const QByteArray& bytes, std::optional<int> dataSize = std::nullopt)
    {
        controls.sendFile = makeFile(bytes);
        controls.pauseChecked = dataSize.has_value();
        if (dataSize)
            controls.dataSize = QString::number(*dataSize);
        engine.Button1Click();
    }

    Tick tick()
    {
        const int packets = engine.packetCount();
        const qsizetype messages = controls.messages.size();
        engine.Timer1Timer();
        Tick result;
        if (engine.packetCount() != packets)
            result.packet = pty.read(engine.chunkLength());
        if (controls.messages.size() != messages)
            result.message = controls.messages.last().text;
        return result;
    }

    // Ticks until the transfer has ended; one entry per tick.
    QList<Tick> run(int maxTicks = 100)
    {
        QList<Tick> ticks;
        while (engine.linkState() & TransferEngine::Sending && ticks.size() < maxTicks)
            ticks << tick();
        return ticks;
    }

    static QList<QByteArray> packetsOf(const QList<Tick>& ticks)
    {
        QList<QByteArray> packets;
        for (const Tick& t : ticks)
            if (!t.packet.isEmpty())
                packets << t.packet;
        return packets;
    }
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
        {"A\nB\n", {"A\n", "B\n"}, "no data any more!", 3},
        {"x\r\ny", {"x\r\n", "y"}, "Send Data Finished!", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.left(20).toStdString());
        start(c.file);
        ASSERT_EQ(engine.linkState(), TransferEngine::PortOpen | TransferEngine::Sending);
        EXPECT_EQ(controls.progressMaximum, c.file.size());
        const QList<Tick> ticks = run();
        EXPECT_EQ(ticks.size(), c.ticks);
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
    start("one\ntwo\nthree\n");
    EXPECT_EQ(controls.startCaption, "Stop");
    EXPECT_FALSE(controls.browseEnabled || controls.setPortEnabled || controls.pauseEnabled
                 || controls.dataSizeEnabled);

    // Boxes typed into while sending go back to what the transfer uses.
    controls.timeGap = QStringLiteral("5");
    engine.Edit1Change();
    EXPECT_EQ(controls.timeGap, "50");
    EXPECT_EQ(engine.timer1().interval(), 50);

    EXPECT_EQ(tick().packet, "one\n");
    engine.Button1Click();
    EXPECT_EQ(controls.messages.last().text, "Transmit Interrupt !!!");
    EXPECT_EQ(ends.last(), TransferEngine::TransferEnd::Interrupted);
    EXPECT_EQ(controls.startCaption, "Start");
    EXPECT_TRUE(controls.browseEnabled && controls.setPortEnabled && controls.pauseEnabled
                && controls.dataSizeEnabled);
    EXPECT_FALSE(engine.isSendFileOpen());
    EXPECT_EQ(tick().packet, QByteArray());
    EXPECT_EQ(controls.counter, "1");

    // Starting again begins at the start of the file.
    engine.Button1Click();
    EXPECT_EQ(packetsOf(run()), (QList<QByteArray> {"one\n", "two\n", "three\n"}));
}

TEST_F(TransferEngineTest, NoFileHandleOutlivesATransfer)
{
    engine.Button3Click();
    const int before = openDescriptors();
    start("a\nb\n");
    run();
    start("a\nb\n");
    tick();
    engine.Button1Click(); // Stop
    start("a\nb\n");
    tick();
    controls.sendFile = makeFile("c\n");
    engine.StartTransfer(); // a new Start while the old file is open
    EXPECT_EQ(packetsOf(run()), QList<QByteArray> {"c\n"});
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(TransferEngineTest, AFileThatCannotBeOpenedStartsNothing)
{
    for (const QString& name : {dir.filePath(QStringLiteral("missing")), dir.path()}) {
        controls.sendFile = name;
        engine.Button1Click();
        EXPECT_TRUE(controls.messages.last().text.startsWith("Can't Open Send File!\n"));
        EXPECT_EQ(engine.linkState(), TransferEngine::PortOpen);
        EXPECT_TRUE(engine.timer1().isActive());
        EXPECT_EQ(controls.startCaption, "Start");
    }
}

TEST_F(TransferEngineTest, TheTimeGapIsThePreciseTimersInterval)
{
    controls.timeGap = QStringLiteral("0");
    engine.Edit1Change();
    EXPECT_FALSE(engine.timer1().isActive()); // an interval of 0 does not spin
    start("x\n");
    EXPECT_EQ(controls.timeGap, "1");
    EXPECT_EQ(engine.timer1().interval(), 1);
    EXPECT_EQ(engine.timer1().timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(engine.timer1().isActive());
    run();

    for (const char* refused : {"", "-5", "abc", "99999999999"}) {
        controls.timeGap = QString::fromLatin1(refused);
        engine.Edit1Change();
        EXPECT_EQ(controls.timeGap, "50") << refused;
        EXPECT_EQ(engine.timer1().interval(), 50);
    }
    for (const char* refused : {"", "-1", "x"}) {
        controls.dataSize = QString::fromLatin1(refused);
        engine.Edit2Change();
        EXPECT_EQ(controls.dataSize, "512") << refused;
    }
    controls.dataSize = QStringLiteral("3000");
    engine.Edit2Change();
    EXPECT_EQ(controls.dataSize, "2048");
}

TEST_F(TransferEngineTest, ABoardUnpluggedMidTransferStopsItWithAnError)
{
    QByteArray lines;
    for (int i = 0; i < 50; ++i)
        lines += "line " + QByteArray::number(i) + '\n';
    start(lines);
    EXPECT_EQ(tick().packet, "line 0\n");
    EXPECT_EQ(tick().packet, "line 1\n");
    pty.closeMaster();
    tick();
    EXPECT_EQ(engine.linkState(), 0);
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
