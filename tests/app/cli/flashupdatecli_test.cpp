// flashupdate-cli against board-sim: exact packets, end messages, exit
// statuses, a flood on stdout, an unplugged board, Ctrl-C, the line format
// on a real pseudo-terminal and four boards at once.

#include "app/transfer/portsettings.h"
#include "tools/board-sim/floodpattern.h"
#include "tests/tools/boardsimprocess.h"
#include "tests/support/ptypair.h"
#include "tests/support/testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <memory>
#include <vector>
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

// Ctrl-C stops the transfer, or every transfer of several boards, with status 130.
TEST_F(FlashUpdateCli, CtrlCInterruptsWithStatus130)
{
    for (const int boardCount : {1, 2}) {
        SCOPED_TRACE(boardCount);
        QTemporaryDir logDir;
        std::vector<std::unique_ptr<BoardSimProcess>> boards;
        QStringList arguments {QStringLiteral("send"), makeFile("one\ntwo\nthree\nfour\n"),
                               QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--lines"),
                               QStringLiteral("--gap"), QStringLiteral("1000")};
        for (int i = 0; i < boardCount; ++i) {
            boards.push_back(std::make_unique<BoardSimProcess>(
                QStringList {QStringLiteral("--log"), logDir.filePath(QStringLiteral("reads%1.log").arg(i))}));
            arguments += {QStringLiteral("--port"), boards.back()->device};
        }
        startCli(arguments);
        QElapsedTimer waited;
        waited.start();
        for (int i = 0; i < boardCount; ++i)
            while (QFile(logDir.filePath(QStringLiteral("reads%1.log").arg(i))).size() == 0 && waited.elapsed() < 20000)
                ::usleep(2000);
        ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
        const CliRun run = finishCli();
        EXPECT_EQ(run.exitCode, 130);
        if (boardCount == 1) {
            EXPECT_TRUE(run.err.contains("Transmit Interrupt !!!\npackets: ")) << run.err.toStdString();
            continue;
        }
        for (const auto& board : boards) {
            const QByteArray label = board->device.mid(5).toLatin1();
            EXPECT_TRUE(run.err.contains(label + ": Transmit Interrupt !!!\n")) << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(label + ' ')) << "a row in the summary";
        }
    }
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

    // Each mistake is refused with status 2 and a message that names it.
    const QString file = makeFile("x\n");
    struct Wrong {
        const char* arguments;
        const char* said;
    };
    const Wrong mistakes[] = {
        {"send", "send needs the FILE to send"},
        {"flash", "unknown command 'flash'"},
        {"send F --block 0", "--block needs a whole number from 1 to 2048, not '0'"},
        {"send F --gap -1", "--gap needs a whole number from 0 to 3600000, not '-1'"},
        {"send F --linger=600001", "--linger needs a whole number from 0 to 600000, not '600001'"},
        {"send F --gap", "Missing value after '--gap'."},
        {"send F --colour blue", "Unknown option 'colour'."},
        {"send F --parity=zero", "--parity takes none, odd, even, mark or space, not 'zero'"},
        {"send F --data-bits 9", "--data-bits takes 5, 6, 7 or 8, not '9'"},
        {"send F --data-bits 4", "--data-bits takes 5, 6, 7 or 8, not '4'"},
        {"send F --stop-bits 1.5", "--stop-bits takes 1 or 2, not '1.5'"},
        {"send F --flow hardware", "--flow takes none, xonxoff or rtscts, not 'hardware'"},
        {"send F --port ttyS0 --port /dev/ttyS0", "--port /dev/ttyS0 is given twice"},
        {"send - --port ttyS0 --port ttyS1", "with several ports FILE must be a regular file"},
    };
    for (const Wrong& wrong : mistakes) {
        const QStringList arguments = QString::fromLatin1(wrong.arguments).replace(QStringLiteral("F"), file).split(' ');
        run = runCli(arguments);
        EXPECT_EQ(run.exitCode, 2) << wrong.arguments;
        EXPECT_TRUE(run.err.startsWith(QByteArray("flashupdate-cli: ") + wrong.said)) << run.err.toStdString();
    }
}

// The line format reaches the port: the pseudo-terminal's settings, read
// while the sender has it open, are those asked for. A pseudo-terminal keeps
// 8 data bits and no parity whatever it is asked; a format it does not take
// is refused with what it kept, never sent in another format.
TEST_F(FlashUpdateCli, TheLineFormatReachesThePortOrIsRefused)
{
    struct Case {
        const char* arguments;
        tcflag_t cflag; // CSIZE, PARENB, CSTOPB, CRTSCTS as read back
        bool xonxoff;
        const char* refused; // nullptr: sent
    };
    const Case cases[] = {
        {"", CS8, false, nullptr},
        {"--stop-bits 2 --flow rtscts", CS8 | CSTOPB | CRTSCTS, false, nullptr},
        {"--data-bits=8 --parity=none --stop-bits=1 --flow=xonxoff", CS8, true, nullptr},
        {"--parity odd", 0, false, "the device keeps no parity, not odd parity"},
        {"--data-bits 7 --parity mark",  0, false, "the device keeps 8 data bits, not 7, no parity, not mark parity"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        PtyPair pty;
        ASSERT_TRUE(pty.isOpen());
        startCli(QStringList {QStringLiteral("send"), makeFile("one\ntwo\nthree\n"), QStringLiteral("--port"),
                              pty.path, QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--lines"),
                              QStringLiteral("--gap"), QStringLiteral("1000"), QStringLiteral("--linger"),
                              QStringLiteral("0")}
                 + QString::fromLatin1(c.arguments).split(' ', Qt::SkipEmptyParts));
        if (c.refused) {
            const CliRun run = finishCli();
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.err, QByteArray("Set Error: COM Port Setting Error!!!\n") + c.refused + '\n');
            EXPECT_EQ(pty.readRest(), QByteArray());
            continue;
        }
        // The first line has arrived: the port is open and set up.
        const QByteArray first = pty.read(4, 20000);
        termios line {};
        ASSERT_EQ(::tcgetattr(pty.slave(), &line), 0);
        ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
        const CliRun run = finishCli();
        ASSERT_EQ(first, "one\n") << run.err.toStdString();
        EXPECT_EQ(run.exitCode, 130) << run.err.toStdString();
        EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), c.cflag);
        EXPECT_EQ((line.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF), c.xonxoff);
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

// Four boards from one command, one of which hangs up midway: the other three
// get every byte, each board's replies come out after its port's name and
// into its own capture file, and the summary says why the fourth failed.
TEST_F(FlashUpdateCli, FourBoardsAtOnceAndOneHangsUp)
{
    QByteArray file;
    for (int i = 0; i < 150; ++i)
        file += "record " + QByteArray::number(i) + '\n';
    const QStringList replies {QStringLiteral("--reply"), QStringLiteral("OK\\r\\n")};
    std::vector<std::unique_ptr<BoardSimProcess>> boards;
    QStringList arguments {QStringLiteral("send"), makeFile(file), QStringLiteral("--baud"),
                           QStringLiteral("115200"), QStringLiteral("--gap"), QStringLiteral("5"),
                           QStringLiteral("--linger"), QStringLiteral("500"), QStringLiteral("--capture"),
                           dir.filePath(QStringLiteral("replies.log"))};
    for (int i = 0; i < 4; ++i) {
        QStringList options = replies + QStringList {QStringLiteral("--log"), dir.filePath(QStringLiteral("board%1.log").arg(i))};
        if (i == 2)
            options += {QStringLiteral("--hangup-after"), QStringLiteral("400")};
        boards.push_back(std::make_unique<BoardSimProcess>(options));
        arguments += {QStringLiteral("--port"), boards.back()->device};
    }
    const CliRun run = runCli(arguments);
    for (const auto& board : boards)
        board->stop();
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();

    const QList<QByteArray> table = run.err.mid(run.err.indexOf("port ")).split('\n');
    ASSERT_GE(table.size(), 5) << run.err.toStdString();
    EXPECT_TRUE(QString::fromLatin1(table[0]).simplified() == QStringLiteral("port bytes packets seconds result"));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QString label = boards[size_t(i)]->device.mid(5); // without /dev/
        const QStringList row = QString::fromLatin1(table[i + 1]).simplified().split(' ');
        ASSERT_GE(row.size(), 5) << table[i + 1].toStdString();
        EXPECT_EQ(row[0], label);
        const QByteArray got = boardGot(readBoardLog(dir.filePath(QStringLiteral("board%1.log").arg(i))));
        QFile capture(dir.filePath(QStringLiteral("replies-%1.log").arg(QString(label).replace('/', '-'))));
        ASSERT_TRUE(capture.open(QIODevice::ReadOnly));
        const QByteArray captured = capture.readAll();
        if (i == 2) {
            EXPECT_EQ(row.mid(4).join(' '), "COM Port Error !!!: Input/output error");
            EXPECT_LT(got.size(), file.size());
            EXPECT_EQ(captured, QByteArray("OK\r\n").repeated(captured.size() / 4)); // what came before the hang-up
            continue;
        }
        EXPECT_EQ(row[1], QString::number(file.size()));
        EXPECT_EQ(row[2], QStringLiteral("150"));
        EXPECT_EQ(row[4], QStringLiteral("ok"));
        EXPECT_EQ(got, file);
        EXPECT_EQ(captured, QByteArray("OK\r\n").repeated(150));
        EXPECT_EQ(run.out.count(label.toLatin1() + ": OK\r\n"), 150);
    }
    // Standard output holds whole lines, each after its port's name.
    for (const QByteArray& line : run.out.split('\n').mid(0, run.out.count('\n')))
        EXPECT_TRUE(line.startsWith("pts/") && line.endsWith(": OK\r")) << line.toStdString();
}
