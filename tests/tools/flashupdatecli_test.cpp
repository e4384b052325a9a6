// flashupdate-cli against board-sim: exact packets, end messages, exit
// statuses, a flood on stdout, an unplugged board and Ctrl-C.

#include "app/transfer/portsettings.h"
#include "tools/board-sim/floodpattern.h"
#include "tests/tools/boardsimprocess.h"
#include "tests/support/testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class FlashUpdateCli : public testing::Test {
protected:
    QString makeFile(const QByteArray& bytes)
    {
        return luxtest::writeFile(dir.filePath(QStringLiteral("image%1.txt").arg(++m_files)), bytes);
    }

    void startCli(const QStringList& arguments)
    {
        cli.start(builtProgram("app/flashupdate-cli"), arguments);
        ASSERT_TRUE(cli.waitForStarted());
    }

    CliRun finishCli()
    {
        if (cli.state() != QProcess::NotRunning)
            cli.waitForFinished(60000);
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                cli.readAllStandardOutput(), cli.readAllStandardError()};
    }

    CliRun runCli(const QStringList& arguments)
    {
        startCli(arguments);
        return finishCli();
    }

    // Sends `file` through flashupdate-cli to a fresh board and returns the
    // board's reads. (Where packets begin and end is checked tick by tick in
    // the transfer engine's tests; reads here may merge packets on a busy machine.)
    QList<LoggedRead> sendAndLog(const QByteArray& file, const QStringList& mode, CliRun& run)
    {
        const QString log = dir.filePath(QStringLiteral("board%1.log").arg(m_files));
        BoardSimProcess board({QStringLiteral("--log"), log});
        run = runCli(QStringList {QStringLiteral("send"), makeFile(file), QStringLiteral("--port"),
                                  board.device, QStringLiteral("--baud"), QStringLiteral("115200"),
                                  QStringLiteral("--gap"), QStringLiteral("20"),
                                  QStringLiteral("--linger"), QStringLiteral("0")}
                      + mode);
        board.stop();
        return readBoardLog(log);
    }

    QTemporaryDir dir;
    QProcess cli;

private:
    int m_files = 0;
};

// Everything the board read, in order.
QByteArray boardGot(const QList<LoggedRead>& reads)
{
    QByteArray all;
    for (const LoggedRead& read : reads)
        all += read.bytes;
    return all;
}

} // namespace

TEST_F(FlashUpdateCli, SendsLinesAndBlocksByteExactly)
{
    QByteArray file = ":10000000\r\n";
    file += QByteArray(3000, 'x') + '\n';
    file += "\n:00000001FF";
    CliRun run;
    const QList<LoggedRead> lineReads = sendAndLog(file, {QStringLiteral("--lines")}, run);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(boardGot(lineReads), file); // packets of 11, 2048, 953, 1 and 11 bytes
    EXPECT_TRUE(run.err.contains("Send Data Finished!\npackets: 5\n")) << run.err.toStdString();
    // The 2048-byte packet needs longer on the wire than the Time Gap: said once, at Start.
    EXPECT_EQ(run.err.count("A packet of 2048 bytes takes 178 ms on the wire at 115200 baud, longer than the "
                            "Time Gap of 20 ms: the line sets the pace, about 11520 bytes/s.\n"),
              1)
        << run.err.toStdString();

    QByteArray blocks(1050, 'b');
    blocks[1040] = '\n';
    const QList<LoggedRead> blockReads =
        sendAndLog(blocks, {QStringLiteral("--block"), QStringLiteral("100")}, run);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Ten blocks; the short rest falls back to its line (41 bytes), then
    // blocks of that length: the last 9 bytes are one more short line.
    EXPECT_EQ(boardGot(blockReads), blocks);
    EXPECT_TRUE(run.err.contains("Send Data Finished!\npackets: 12\n")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("on the wire")) << "100 bytes take 9 ms, inside the gap";
}

// With --wait-for a packet goes only once the board has answered the one
// before; a board that falls silent or
// answers something else stops the transfer at the reply timeout.
TEST_F(FlashUpdateCli, WaitsForTheBoardsAnswerToEachPacket)
{
    constexpr int gapMs = 5;
    struct Case {
        const char* what;
        QStringList board, mode;
        QByteArray file;
        int exitCode;
        QByteArray boardGets; // empty: the whole file
        const char* ending;
    };
    const QByteArray lines = "one\ntwo\nthree\nfour\n";
    const QString ok = QStringLiteral("OK\\r\\n");
    const QStringList answers {QStringLiteral("--reply-after-line"), ok};
    const QStringList shortTimeout {QStringLiteral("--reply-timeout"), QStringLiteral("300")};
    const Case cases[] = {
        {"lines", answers, {QStringLiteral("--lines")}, lines, 0, {}, "no data any more!\npackets: 4\n"},
        {"blocks", answers, {QStringLiteral("--block"), QStringLiteral("5")}, "aaaaabbbbbccccc", 0, {},
         "no data any more!\npackets: 3\n"},
        {"falls silent", answers + QStringList {QStringLiteral("--stop-replying-after"), QStringLiteral("2")},
         QStringList {QStringLiteral("--lines")} + shortTimeout, lines, 1, "one\ntwo\nthree\n",
         "No Reply From Board !!!\npacket 3: no \"OK\" within 300 ms; nothing received\npackets: 3\n"},
        {"answers otherwise", {QStringLiteral("--reply"), QStringLiteral("ERR\\r\\n")},
         QStringList {QStringLiteral("--lines")} + shortTimeout, lines, 1, "one\n",
         "No Reply From Board !!!\npacket 1: no \"OK\" within 300 ms; received \"ERR\\r\\n\"\npackets: 1\n"},
    };
    for (const Case& c : cases) {
        const QString log = dir.filePath(QStringLiteral("wait-%1.log").arg(c.what));
        BoardSimProcess board(QStringList {QStringLiteral("--log"), log} + c.board);
        const CliRun run = runCli(QStringList {QStringLiteral("send"), makeFile(c.file), QStringLiteral("--port"),
                                               board.device, QStringLiteral("--baud"), QStringLiteral("115200"),
                                               QStringLiteral("--gap"), QString::number(gapMs),
                                               QStringLiteral("--wait-for"), QStringLiteral("OK"),
                                               QStringLiteral("--linger"), QStringLiteral("0")}
                                  + c.mode);
        board.stop();
        const QList<LoggedRead> reads = readBoardLog(log);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << run.err.toStdString();
        EXPECT_TRUE(run.err.endsWith(c.ending)) << c.what << run.err.toStdString();
        EXPECT_EQ(boardGot(reads), c.boardGets.isEmpty() ? c.file : c.boardGets) << c.what;
        // Each packet waited for the answer to the one before, so none came in
        // the same read as another.
        EXPECT_EQ(QByteArray::number(reads.size()), run.err.split(' ').last().trimmed()) << c.what;
    }
}

// A flood reaches standard output and the capture file whole; with
// --timestamps each line on standard output begins with the time since Start.
TEST_F(FlashUpdateCli, AFloodReachesStandardOutputAndTheCaptureWhole)
{
    const QByteArray flood = QByteArray::fromStdString(FloodPattern(65536));
    const QString capture = dir.filePath(QStringLiteral("capture.bin"));
    for (const bool timestamps : {false, true}) {
        QFile::remove(capture);
        BoardSimProcess board({QStringLiteral("--flood"), QStringLiteral("65536")});
        const CliRun run = runCli(QStringList {QStringLiteral("send"), makeFile("hello\n"), QStringLiteral("--port"),
                                               board.device, QStringLiteral("--baud"), QStringLiteral("115200"),
                                               QStringLiteral("--lines"), QStringLiteral("--gap"), QStringLiteral("10"),
                                               QStringLiteral("--linger"), QStringLiteral("2000"),
                                               QStringLiteral("--capture"), capture}
                                  + (timestamps ? QStringList {QStringLiteral("--timestamps")} : QStringList()));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("no data any more!")) << run.err.toStdString();
        QFile captured(capture);
        ASSERT_TRUE(captured.open(QIODevice::ReadOnly));
        EXPECT_EQ(captured.readAll(), flood) << "timestamps " << timestamps;
        if (!timestamps) {
            EXPECT_EQ(run.out, flood);
            continue;
        }
        const QList<QByteArray> outLines = run.out.split('\n');
        const QList<QByteArray> floodLines = flood.split('\n');
        ASSERT_EQ(outLines.size(), floodLines.size());
        const QRegularExpression stamp(QStringLiteral("^\\[\\d+\\.\\d{3}\\] "));
        for (qsizetype i = 0; i + 1 < outLines.size(); ++i) {
            const QRegularExpressionMatch match = stamp.match(QString::fromLatin1(outLines[i]));
            ASSERT_TRUE(match.hasMatch()) << "line " << i;
            EXPECT_EQ(outLines[i].mid(match.capturedLength()), floodLines[i]) << "line " << i;
        }
    }
}

// What the board sends at 921600 baud for six seconds, sent as fast as the
// pseudo-terminal takes it: every byte reaches standard output, and the
// sender's peak memory stays bounded (the read buffer holds the board back).
TEST_F(FlashUpdateCli, AFloodReachesStandardOutputWholeInBoundedMemory)
{
    constexpr qint64 flood = 92160 * 6;
    BoardSimProcess board({QStringLiteral("--flood"), QString::number(flood)});
    startCli({QStringLiteral("send"), makeFile("hello\n"), QStringLiteral("--port"), board.device,
              QStringLiteral("--baud"), QStringLiteral("921600"), QStringLiteral("--lines"),
              QStringLiteral("--gap"), QStringLiteral("10"), QStringLiteral("--linger"), QStringLiteral("2000")});
    // The peak (VmHWM) as last seen while it runs; the linger keeps it running after the flood.
    qint64 peakKiB = 0;
    const QString status = QStringLiteral("/proc/%1/status").arg(cli.processId());
    while (!cli.waitForFinished(20)) {
        QFile file(status);
        if (!file.open(QIODevice::ReadOnly))
            break;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peakKiB = line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    const CliRun run = finishCli();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QByteArray::fromStdString(FloodPattern(flood)));
    EXPECT_TRUE(run.err.contains("no data any more!")) << run.err.toStdString();
    EXPECT_GT(peakKiB, 0);
    EXPECT_LT(peakKiB, 64 * 1024);
    RecordProperty("peak_kib", int(peakKiB));
}

TEST_F(FlashUpdateCli, AnUnpluggedBoardEndsWithTheErrorAndStatus1)
{
    QByteArray lines;
    for (int i = 0; i < 200; ++i)
        lines += "record " + QByteArray::number(i) + '\n';
    BoardSimProcess board({QStringLiteral("--hangup-after"), QStringLiteral("40")});
    const CliRun run = runCli({QStringLiteral("send"), makeFile(lines), QStringLiteral("--port"), board.device,
                               QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--lines"),
                               QStringLiteral("--gap"), QStringLiteral("5")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Input/output error")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("Send Data Finished!"));
}

TEST_F(FlashUpdateCli, CtrlCInterruptsWithStatus130)
{
    QTemporaryDir logDir;
    const QString log = logDir.filePath(QStringLiteral("reads.log"));
    BoardSimProcess board({QStringLiteral("--log"), log});
    startCli({QStringLiteral("send"), makeFile("one\ntwo\nthree\nfour\n"), QStringLiteral("--port"), board.device,
              QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--lines"), QStringLiteral("--gap"),
              QStringLiteral("1000")});
    QElapsedTimer waited;
    waited.start();
    while (QFile(log).size() == 0 && waited.elapsed() < 20000)
        ::usleep(2000);
    ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    const CliRun run = finishCli();
    EXPECT_EQ(run.exitCode, 130);
    EXPECT_TRUE(run.err.contains("Transmit Interrupt !!!\npackets: ")) << run.err.toStdString();
}

TEST_F(FlashUpdateCli, PortFileAndCommandLineMistakes)
{
    CliRun run = runCli({QStringLiteral("send"), makeFile("x\n"), QStringLiteral("--port"),
                         QStringLiteral("/dev/no-such-board"), QStringLiteral("--baud"), QStringLiteral("9600")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Comm Error: Open COM Port Error !!!"));

    BoardSimProcess board({});
    run = runCli({QStringLiteral("send"), dir.filePath(QStringLiteral("missing")), QStringLiteral("--port"),
                  board.device, QStringLiteral("--baud"), QStringLiteral("9600")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Can't Open Send File!"));

    run = runCli({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("flashupdate-cli send FILE"));

    for (const QStringList& wrong : {QStringList {QStringLiteral("send")},
                                     QStringList {QStringLiteral("send"), QStringLiteral("f"), QStringLiteral("--block"), QStringLiteral("0")},
                                     QStringList {QStringLiteral("send"), QStringLiteral("f"), QStringLiteral("--gap"), QStringLiteral("-1")},
                                     QStringList {QStringLiteral("flash")}}) {
        run = runCli(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
    }
}

TEST_F(FlashUpdateCli, AFailedStandardOutputIsSaidWithAStatusOfItsOwn)
{
    struct Case {
        const char* output; // a file, or a reader that quits after 10 bytes
        int exitCode;
        QByteArray said;
    };
    const QList<Case> cases {
        {"/dev/full", 1, "flashupdate-cli: standard output: No space left on device\n"},
        {"head -c 10", 3, "flashupdate-cli: standard output: Broken pipe\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        BoardSimProcess board({QStringLiteral("--flood"), QStringLiteral("200000")});
        QProcess sender;
        QProcess reader;
        const QStringList output = QString::fromLatin1(c.output).split(' ');
        if (output.size() == 1) {
            sender.setStandardOutputFile(output.first());
        } else {
            sender.setStandardOutputProcess(&reader);
            reader.setStandardOutputFile(QProcess::nullDevice());
            reader.start(output.first(), output.mid(1));
        }
        sender.start(builtProgram("app/flashupdate-cli"),
                     {QStringLiteral("send"), makeFile("hello\n"), QStringLiteral("--port"), board.device,
                      QStringLiteral("--baud"), QStringLiteral("115200"), QStringLiteral("--linger"),
                      QStringLiteral("2000")});
        ASSERT_TRUE(sender.waitForFinished(60000));
        EXPECT_EQ(sender.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(sender.exitCode(), c.exitCode);
        EXPECT_TRUE(sender.readAllStandardError().contains(c.said));
        reader.waitForFinished();
    }
}

TEST_F(FlashUpdateCli, StandardInputAndNamesThatAreNotTextAreSent)
{
    const QByteArray bytes = "line one\nline two\n";
    const QByteArray oddName = QFile::encodeName(dir.path()) + "/image-\377.hex";
    const int fd = ::open(oddName.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
    for (const bool fromStandardInput : {true, false}) {
        SCOPED_TRACE(fromStandardInput ? "standard input" : "name that is not text");
        const QString log = dir.filePath(QStringLiteral("stream%1.log").arg(fromStandardInput));
        BoardSimProcess board({QStringLiteral("--log"), log});
        // The program gets the name's bytes through a shell, as a user types it.
        const QString file = fromStandardInput ? QStringLiteral("-") : dir.path() + QStringLiteral("/image-\\377.hex");
        cli.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("exec \"$0\" send \"$(printf \"$1\")\" --port \"$2\" "
                                                        "--baud 115200 --gap 1 --linger 0"),
                   builtProgram("app/flashupdate-cli"), file, board.device});
        ASSERT_TRUE(cli.waitForStarted());
        if (fromStandardInput) {
            cli.write(bytes);
            cli.closeWriteChannel();
        }
        const CliRun run = finishCli();
        board.stop();
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(boardGot(readBoardLog(log)), bytes);
    }
    ::unlink(oddName.constData()); // the folder's clean-up cannot name it
}

TEST_F(FlashUpdateCli, AnIndexInConfigDatThatNamesNothingIsSaidAndTheDefaultUsed)
{
    // A copy of the program, so that its Config.dat is the test's own.
    const QString program = dir.filePath(QStringLiteral("flashupdate-cli"));
    ASSERT_TRUE(QFile::copy(builtProgram("app/flashupdate-cli"), program));
    TPortSettings stored;
    stored.BaudIndex = 200;
    luxtest::writeFile(ConfigPathIn(dir.path()), QByteArray(reinterpret_cast<const char*>(&stored), sizeof stored));
    BoardSimProcess board({});
    cli.start(program, {QStringLiteral("send"), makeFile("x\n"), QStringLiteral("--port"), board.device,
                        QStringLiteral("--linger"), QStringLiteral("0")});
    ASSERT_TRUE(cli.waitForStarted());
    const CliRun run = finishCli();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("flashupdate-cli: %1: BaudIndex 200 names no item of the "
                                                  "baud-rate list; 9600 is used\n")
                                       .arg(ConfigPathIn(dir.path()))
                                       .toLocal8Bit()))
        << run.err.toStdString();
}
