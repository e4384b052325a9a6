// flashupdate-cli against what a hurried engineer and a hostile board do:
// the port it really sends to, mistakes refused before anything is sent, side
// files that are no files, a terminal the board writes to, a board that never
// falls quiet, and lock files after a kill.

#include "app/transfer/escapedtext.h"
#include "app/transfer/portsettings.h"
#include "tests/tools/boardsimprocess.h"
#include "tests/support/ptypair.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ShellRun {
    int exitCode = -1; // -1: did not end within the time
    QByteArray out;
    QByteArray err;
};

// Runs `script` with /bin/sh in `workDir`; $CLI is the program, $F a file of
// three lines, $D the test's folder, $B and $B2 two boards' devices.
class CliGuards : public testing::Test {
protected:
    void SetUp() override
    {
        file = luxtest::writeFile(dir.filePath(QStringLiteral("image.txt")), "one\ntwo\nthree\n");
        // A copy of the program, so that its Config.dat is the test's own.
        program = dir.filePath(QStringLiteral("flashupdate-cli"));
        ASSERT_TRUE(QFile::copy(builtProgram("app/flashupdate-cli"), program));
    }

    ShellRun runShell(const QString& script, const QStringList& boards, const QString& workDir = {}, int timeoutMs = 30000)
    {
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CLI"), program);
        environment.insert(QStringLiteral("F"), file);
        environment.insert(QStringLiteral("D"), dir.path());
        environment.insert(QStringLiteral("B"), boards.value(0));
        environment.insert(QStringLiteral("B2"), boards.value(1));
        shell.setProcessEnvironment(environment);
        shell.setWorkingDirectory(workDir.isEmpty() ? dir.path() : workDir);
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        if (!shell.waitForFinished(timeoutMs)) {
            shell.kill();
            shell.waitForFinished();
            return {-1, shell.readAllStandardOutput(), shell.readAllStandardError()};
        }
        return {shell.exitCode(), shell.readAllStandardOutput(), shell.readAllStandardError()};
    }

    void writeConfig(uint8_t portIndex)
    {
        TPortSettings stored;
        stored.PortIndex = portIndex;
        luxtest::writeFile(ConfigPathIn(dir.path()), QByteArray(reinterpret_cast<const char*>(&stored), sizeof stored));
    }

    QTemporaryDir dir;
    QString file;
    QString program;
};

QByteArray boardGot(const QString& log)
{
    QByteArray all;
    for (const LoggedRead& read : readBoardLog(log))
        all += read.bytes;
    return all;
}

// The lock file Qt's serial port leaves for a device under /dev.
QString lockFileOf(const QString& device)
{
    return QStringLiteral("/var/lock/LCK..") + device.mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
}

} // namespace

// Without --port the file goes where the window would send it, or nowhere; a
// relative path is a path from the working folder; side files that are no
// regular files are passed over with a word, never read until they end.
TEST_F(CliGuards, TheFileGoesToThePortMeantOrNowhere)
{
    struct Case {
        const char* what;
        uint8_t portIndex;      // in Config.dat; 0: none written
        const char* sideFiles;  // shell lines run first
        const char* command;
        int exitCode;
        bool boardGetsFile;
        const char* said;
    };
    const Case cases[] = {
        {"remembered path", 255, "echo \"$B\" > \"$D/Port.txt\"", "\"$CLI\" send \"$F\" --linger 0", 0, true, ""},
        {"no port remembered", 255, "", "\"$CLI\" send \"$F\"", 2, false, "names no port; give the port with --port"},
        {"Port.txt is /dev/zero", 255, "ln -s /dev/zero \"$D/Port.txt\"", "\"$CLI\" send \"$F\"", 2, false,
         "Port.txt: not a regular file; ignored"},
        {"Port.txt is a FIFO", 255, "mkfifo \"$D/Port.txt\"", "\"$CLI\" send \"$F\"", 2, false,
         "Port.txt: not a regular file; ignored"},
        {"Config.dat is a FIFO", 0, "mkfifo \"$D/Config.dat\"", "\"$CLI\" send \"$F\" --port \"$B\" --linger 0", 0, true,
         "Config.dat: not a regular file; ignored"},
        {"relative port path", 0, "mkdir -p \"$D/sub\" && ln -sf \"$B\" \"$D/sub/link\"",
         "\"$CLI\" send \"$F\" --port sub/link --linger 0", 0, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(dir.filePath(QStringLiteral("Port.txt")));
        QFile::remove(ConfigPathIn(dir.path()));
        if (c.portIndex != 0)
            writeConfig(c.portIndex);
        const QString log = dir.filePath(QStringLiteral("board.log"));
        QFile::remove(log);
        BoardSimProcess board({QStringLiteral("--log"), log});
        const ShellRun run = runShell(QString::fromLatin1(c.sideFiles) + QStringLiteral("\nexec ") + QString::fromLatin1(c.command),
                                 {board.device}, {}, 20000);
        board.stop();
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_EQ(boardGot(log), c.boardGetsFile ? QByteArray("one\ntwo\nthree\n") : QByteArray());
    }
}

// What would send the wrong bytes, clobber a file or write one file from
// two boards is refused with status 2 before any board gets a byte.
TEST_F(CliGuards, MistakesAreRefusedBeforeAnythingIsSent)
{
    struct Case {
        const char* what;
        const char* script;
        const char* said;
    };
    const Case cases[] = {
        {"FIFO named in no text, two ports",
         "f=\"$D/$(printf 'fifo-\\377')\"; mkfifo \"$f\"; exec \"$CLI\" send \"$f\" --port \"$B\" --port \"$B2\"",
         "with several ports FILE must be a regular file"},
        {"capture is the input", "exec \"$CLI\" send \"$F\" --port \"$B\" --capture \"$F\"", "is the file being sent"},
        {"capture links to the input", "ln -s \"$F\" \"$D/cap\"; exec \"$CLI\" send \"$F\" --port \"$B\" --capture \"$D/cap\"",
         "is the file being sent"},
        {"a port's capture is the input",
         "g=\"$D/log-$(echo \"${B#/dev/}\" | tr / -).txt\"; cp \"$F\" \"$g\"; "
         "exec \"$CLI\" send \"$g\" --port \"$B\" --port \"$B2\" --capture \"$D/log.txt\"",
         "is the file being sent"},
        {"two ports share a capture",
         "exec \"$CLI\" send \"$F\" --port \"$D/x/a/3\" --port \"$D/x/a-3\" --capture \"$D/c\"", "would share it"},
        {"empty capture", "exec \"$CLI\" send \"$F\" --port \"$B\" --capture ''", "--capture needs the name of a file"},
        {"one device, two nodes",
         "set -- $(stat -L -c '%t %T' \"$B\"); mknod \"$D/node\" c 0x$1 0x$2; "
         "exec \"$CLI\" send \"$F\" --port \"$B\" --port \"$D/node\"",
         "is given twice"},
        {"standard input closed", "exec \"$CLI\" send - --port \"$B\" <&-", "standard input is closed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString log = dir.filePath(QStringLiteral("board.log"));
        QFile::remove(log);
        BoardSimProcess board({QStringLiteral("--log"), log});
        BoardSimProcess second({});
        const ShellRun run = runShell(QString::fromLatin1(c.script), {board.device, second.device}, {}, 20000);
        board.stop();
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_EQ(boardGot(log), QByteArray());
        QFile sent(file);
        ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
        EXPECT_EQ(sent.readAll(), QByteArray("one\ntwo\nthree\n")) << "the input stays whole";
    }
}

// On a terminal what the board sends cannot act on it (unless --raw), and the
// progress bars come back after each reply; with more ports than rows the
// block never grows beyond the screen.
TEST_F(CliGuards, TheBoardCannotWriteToTheTerminal)
{
    const QByteArray hostile = "\x1b]52;c;aGk=\x07\x1b[6n\x9b" "2J\xc2\x9b" "caf\xc3\xa9 ok\r\n";
    struct Case {
        const char* what;
        QStringList options;
        int boards;
        unsigned short rows;
        QByteArray shown; // on the terminal, for every packet
        QByteArray never;
        QByteArray reply; // the board's answer to each line
    };
    const Case cases[] = {
        {"escaped", {}, 1, 0, "<1B>]52;c;aGk=<07><1B>[6n<9B>2J<C2><9B>caf\xc3\xa9 ok\r\n", "\x1b]52", hostile},
        {"raw", {QStringLiteral("--raw")}, 1, 0, hostile, "<1B>", hostile},
        {"two ports on two rows", {}, 2, 2, " ok\r\n", "\x1b[1A", hostile},
    };
    QByteArray lines;
    for (int i = 0; i < 40; ++i)
        lines += "line " + QByteArray::number(i) + '\n';
    const QString input = luxtest::writeFile(dir.filePath(QStringLiteral("lines.txt")), lines);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PtyPair terminal;
        ASSERT_TRUE(terminal.isOpen());
        winsize size {c.rows, 80, 0, 0};
        ::ioctl(terminal.slave(), TIOCSWINSZ, &size);
        std::vector<std::unique_ptr<BoardSimProcess>> boards;
        QStringList arguments {QStringLiteral("send"), input, QStringLiteral("--gap"), QStringLiteral("2"),
                               QStringLiteral("--linger"), QStringLiteral("200")};
        for (int i = 0; i < c.boards; ++i) {
            boards.push_back(std::make_unique<BoardSimProcess>(
                QStringList {QStringLiteral("--reply"), EscapeText(c.reply)}));
            arguments += {QStringLiteral("--port"), boards.back()->device};
        }
        QProcess cli;
        const int slave = terminal.slave();
        cli.setChildProcessModifier([slave] {
            ::dup2(slave, STDOUT_FILENO);
            ::dup2(slave, STDERR_FILENO);
        });
        cli.start(builtProgram("app/flashupdate-cli"), arguments + c.options);
        QByteArray screen;
        while (!cli.waitForFinished(20))
            screen += terminal.readRest(0);
        screen += terminal.readRest();
        EXPECT_EQ(cli.exitCode(), 0) << screen.toStdString();
        EXPECT_EQ(screen.count(c.shown), 40 * c.boards) << screen.toStdString();
        EXPECT_FALSE(screen.contains(c.never));
        if (c.boards > 1)
            continue;
        // Between two replies the bar is drawn again (two that came in one
        // read are written at once).
        qsizetype reply = screen.indexOf(c.shown);
        for (int i = 1; reply >= 0; ++i) {
            const qsizetype next = screen.indexOf(c.shown, reply + c.shown.size());
            if (next < 0)
                break;
            if (next > reply + c.shown.size()) {
                EXPECT_TRUE(screen.mid(reply, next - reply).contains(" packets ")) << "after reply " << i;
            }
            reply = next;
        }
    }
}

// A board that prints a heartbeat for ever does not keep the command running:
// the linger counts from the end of the file.
TEST_F(CliGuards, ABoardThatNeverFallsQuietDoesNotKeepItRunning)
{
    for (const QStringList& linger : {QStringList {QStringLiteral("--linger"), QStringLiteral("1000")}, QStringList {}}) {
        SCOPED_TRACE(linger.join(' ').toStdString());
        PtyPair board;
        ASSERT_TRUE(board.isOpen());
        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        cli.start(builtProgram("app/flashupdate-cli"),
                  QStringList {QStringLiteral("send"), file, QStringLiteral("--port"), board.path,
                               QStringLiteral("--gap"), QStringLiteral("1")}
                      + linger);
        ASSERT_TRUE(cli.waitForStarted());
        QElapsedTimer beating;
        beating.start();
        while (!cli.waitForFinished(100) && beating.elapsed() < 30000) {
            board.write("alive\r\n");
            board.readRest(0);
        }
        EXPECT_EQ(cli.state(), QProcess::NotRunning) << "still running after 30 s of heartbeat";
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    }
}

// The ports' lock files go when the program is killed politely, and one whose
// process is gone does not keep the next user out.
TEST_F(CliGuards, LockFilesDoNotOutliveTheirProcess)
{
    struct Case {
        const char* what;
        const char* program; // run from the build tree
        int signal;          // 0: a stale lock file is there before the start
    };
    const Case cases[] = {
        {"command line, SIGHUP", "app/flashupdate-cli", SIGHUP},
        {"window, SIGTERM", "app/flashupdate", SIGTERM},
        {"stale lock file", "app/flashupdate-cli", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoardSimProcess board({});
        const QString lock = lockFileOf(board.device);
        const bool window = QByteArray(c.program) == "app/flashupdate";
        if (c.signal == 0) {
            // A process that has ended, and a lock file as serial tools write it.
            const pid_t gone = ::fork();
            if (gone == 0)
                ::_exit(0);
            ::waitpid(gone, nullptr, 0);
            luxtest::writeFile(lock, QByteArray::number(gone).rightJustified(10) + '\n');
        }
        QProcess process;
        if (window) {
            // The window opens the port remembered beside its copy at start.
            const QString copy = dir.filePath(QStringLiteral("flashupdate"));
            QFile::remove(copy);
            ASSERT_TRUE(QFile::copy(builtProgram(c.program), copy));
            writeConfig(255);
            luxtest::writeFile(dir.filePath(QStringLiteral("Port.txt")), board.device.toLocal8Bit() + '\n');
            process.start(copy, {});
        } else {
            process.start(builtProgram(c.program),
                          {QStringLiteral("send"), file, QStringLiteral("--port"), board.device, QStringLiteral("--gap"),
                           QString::number(c.signal ? 1000 : 1), QStringLiteral("--linger"), QStringLiteral("0")});
        }
        ASSERT_TRUE(process.waitForStarted());
        if (c.signal != 0) {
            QElapsedTimer waited;
            waited.start();
            while (!QFile::exists(lock) && waited.elapsed() < 20000)
                ::usleep(10000);
            ASSERT_TRUE(QFile::exists(lock)) << "the port was opened";
            ::kill(pid_t(process.processId()), c.signal);
        }
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        if (c.signal == 0) {
            EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        }
        EXPECT_FALSE(QFile::exists(lock));
        QFile::remove(lock);
    }
}

// A capture file that stops taking bytes ends the board's transfer with a
// message that names it and status 1, never a finished one.
TEST_F(CliGuards, ACaptureThatFailsEndsTheTransfer)
{
    BoardSimProcess board({QStringLiteral("--reply"), QStringLiteral("OK\\r\\n")});
    const ShellRun run = runShell(QStringLiteral("exec \"$CLI\" send \"$F\" --port \"$B\" --gap 200 --capture /dev/full"),
                             {board.device});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Capture File Write Error !!!\n/dev/full: No space left on device\n"))
        << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("no data any more!")) << run.err.toStdString();
}

// XOFF pauses the sending and XON resumes it; a board that holds XOFF longer
// than the stall limit ends its transfer, and the message says so.
TEST_F(CliGuards, XoffPausesTheSending)
{
    struct Case {
        int holdMs; // -1: never sends XON
        int exitCode;
        const char* said;
    };
    const Case cases[] = {{1000, 0, "no data any more!"}, {-1, 1, "(it sent XOFF and no XON since)"}};
    QByteArray lines;
    for (int i = 0; i < 20; ++i)
        lines += "record " + QByteArray::number(i) + '\n';
    const QString input = luxtest::writeFile(dir.filePath(QStringLiteral("records.txt")), lines);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.holdMs);
        PtyPair board;
        ASSERT_TRUE(board.isOpen());
        QProcess cli;
        cli.start(builtProgram("app/flashupdate-cli"),
                  {QStringLiteral("send"), input, QStringLiteral("--port"), board.path, QStringLiteral("--flow"),
                   QStringLiteral("xonxoff"), QStringLiteral("--gap"), QStringLiteral("5"), QStringLiteral("--linger"),
                   QStringLiteral("0")});
        QByteArray got = board.read(9, 20000); // "record 0\n"
        board.write("\x13");
        if (c.holdMs >= 0) {
            ::usleep(useconds_t(c.holdMs) * 1000);
            got += board.readRest(0); // what was on its way before the XOFF took hold
            board.write("\x11");
        }
        while (cli.state() != QProcess::NotRunning && !cli.waitForFinished(20))
            got += board.readRest(0);
        got += board.readRest();
        const QByteArray err = cli.readAllStandardError();
        EXPECT_EQ(cli.exitCode(), c.exitCode) << err.toStdString();
        EXPECT_TRUE(err.contains(c.said)) << err.toStdString();
        if (c.exitCode == 0) {
            EXPECT_EQ(got, lines);
        }
    }
}

// At close the port is drained before its saved settings are put back, so
// the last bytes leave at the line's speed (seen in the system calls).
TEST_F(CliGuards, ThePortIsDrainedBeforeItsSettingsArePutBack)
{
    if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
        GTEST_SKIP() << "strace is not installed";
    BoardSimProcess board({});
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    // LeakSanitizer cannot run under ptrace: a sanitized build's leak check
    // is switched off for the traced run (later options win).
    const ShellRun run = runShell(QStringLiteral("export ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\"; "
                                                 "exec strace -f -qq -e trace=openat,write,ioctl,close -o \"$D/trace.txt\" "
                                            "\"$CLI\" send \"$F\" --port \"$B\" --gap 1 --linger 0"),
                             {board.device});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(trace);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray fd;
    QList<QByteArray> calls; // on the port, in order: "write", "TCSBRK", "TCSETS"
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.contains("openat(") && line.contains('"' + board.device.toLatin1() + '"') && line.contains(") = "))
            fd = line.mid(line.lastIndexOf("= ") + 2).trimmed();
        else if (!fd.isEmpty() && line.contains("close(" + fd + ')'))
            fd.clear(); // the number may be reused for another file after this
        else if (!fd.isEmpty() && line.contains("write(" + fd + ','))
            calls << "write";
        else if (!fd.isEmpty() && line.contains("ioctl(" + fd + ", TCSBRK"))
            calls << "TCSBRK";
        else if (!fd.isEmpty() && line.contains("ioctl(" + fd + ", ") && line.contains("TCSETS"))
            calls << "TCSETS";
    }
    const qsizetype lastWrite = calls.lastIndexOf("write");
    const qsizetype restore = calls.lastIndexOf("TCSETS");
    ASSERT_GT(lastWrite, 0);
    ASSERT_GT(restore, lastWrite);
    EXPECT_TRUE(calls.mid(lastWrite, restore - lastWrite).contains("TCSBRK")) << "no tcdrain between the last write and the restore";
}
