// Leak check of a whole transfer: the command-line sender starts, sends a file
// to board-sim, shows the replies and quits, with LeakSanitizer watching the
// process to its end. Only meaningful in the sanitized build, so it is skipped
// elsewhere.

#include "tests/tools/boardsimprocess.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
constexpr bool SanitizedBuild = true;
#else
constexpr bool SanitizedBuild = false;
#endif

TEST(TransferLeaks, ACompleteTransferLeavesNoLeakAtExit)
{
    if (!SanitizedBuild)
        GTEST_SKIP() << "LeakSanitizer runs only in the sanitized build (scripts/test --sanitize)";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("image.txt"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        for (int i = 0; i < 50; ++i)
            out.write("line " + QByteArray::number(i) + '\n');
    }
    BoardSimProcess board({QStringLiteral("--reply"), QStringLiteral("OK\\r\\n")});
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1"));
    env.insert(QStringLiteral("LSAN_OPTIONS"),
               QStringLiteral("suppressions=" LUX_TEST_DATA_DIR "/../../lsan.supp:print_suppressions=0"));
    cli.setProcessEnvironment(env);
    cli.start(builtProgram("app/flashupdate-cli"),
              {QStringLiteral("send"), file, QStringLiteral("--port"), board.device, QStringLiteral("--baud"),
               QStringLiteral("115200"), QStringLiteral("--lines"), QStringLiteral("--gap"), QStringLiteral("2"),
               QStringLiteral("--linger"), QStringLiteral("300")});
    ASSERT_TRUE(cli.waitForFinished(120000));
    const QByteArray err = cli.readAllStandardError();
    EXPECT_FALSE(err.contains("LeakSanitizer")) << err.toStdString();
    EXPECT_EQ(cli.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(err.contains("Send Data Finished!") || err.contains("no data any more!")) << err.toStdString();
    EXPECT_EQ(cli.readAllStandardOutput().count("OK"), 50);
}
