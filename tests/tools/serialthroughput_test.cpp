// Long runs on the serial link: lines at 921600 baud with a reply to each,
// and a large file sent in full. Both lengths can be raised for a manual run:
//   LUX_SOAK_SECONDS   seconds of the 921600-baud run (default 5; 60 for the full soak)
//   LUX_LARGE_FILE_MIB size of the large file in MiB (default 8; 4 in the
//                      sanitized build); its packets go at least a Time Gap
//                      of 1 ms apart, so 100 MiB take about a minute

#include "tests/support/ptypair.h"
#include "tests/tools/boardsimprocess.h"
#include "tests/tools/serialfaultrun.h"
#include "tests/support/testsupport.h"

#include <QEventLoop>
#include <QTimer>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int DefaultLargeFileMiB = 4;
#else
constexpr int DefaultLargeFileMiB = 8;
#endif

int fromEnvironment(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// Resident memory of this process in KiB.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

// The engine's own timer at a 1 ms Time Gap for the whole run; the board
// answers every line. Stop ends the run: the board must hold exactly the lines
// counted, and the tool exactly one reply for each.
TEST(SerialThroughput, At921600BaudWithRepliesNoByteIsLost)
{
    const int seconds = fromEnvironment("LUX_SOAK_SECONDS", 5);
    EngineRun run;
    const QString log = run.dir.filePath(QStringLiteral("board.log"));
    BoardSimProcess board({QStringLiteral("--reply"), QStringLiteral("OK\\r\\n"), QStringLiteral("--log"), log});
    const QByteArray lines = numberedLines(seconds * 2000);
    run.controls.timeGap = QStringLiteral("1");
    run.engine.timeGapEdited();
    ASSERT_TRUE(run.start(board.device, QStringLiteral("921600"), run.makeFile(lines)));

    QEventLoop loop;
    QObject::connect(&run.engine, &TransferEngine::transferEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(seconds * 1000, &loop, [&] {
        if (run.engine.isSending())
            run.engine.startOrStop(); // Stop
    });
    loop.exec();
    ASSERT_TRUE(run.end.has_value());
    EXPECT_NE(*run.end, TransferEngine::TransferEnd::LinkFailed);
    const int packets = run.engine.packetCount();
    ASSERT_GT(packets, 0);
    const QByteArray sent = lines.left(qsizetype(packets) * 14);

    // The rest of the replies arrive on the ticks that follow.
    const QByteArray replies = QByteArray("OK\r\n").repeated(packets);
    QElapsedTimer wall;
    wall.start();
    while (run.received().size() < replies.size() && wall.elapsed() < 30000)
        luxtest::processEventsFor(20);
    EXPECT_EQ(run.received(), replies);
    board.stop();
    QByteArray got;
    for (const LoggedRead& read : readBoardLog(log))
        got += read.bytes;
    EXPECT_EQ(got, sent);
    std::printf("[ figures  ] %d lines (%lld bytes) in %d s, %lld replies\n", packets,
                static_cast<long long>(sent.size()), seconds, static_cast<long long>(run.received().size() / 4));
}

// A sparse file with a short line at each MiB: packets of 2048 bytes and of
// the lines' lengths, at a Time Gap of 1 ms. After every packet the progress is
// the bytes the board has and the counter the packets; resident memory does
// not grow with the file.
TEST(SerialThroughput, ALargeFileIsSentWholeWithProgressAndCounter)
{
    const qint64 mib = fromEnvironment("LUX_LARGE_FILE_MIB", DefaultLargeFileMiB);
    const qint64 size = mib << 20;
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    EngineRun run;
    const QString path = run.dir.filePath(QStringLiteral("large.bin"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(size));
        for (qint64 m = 0; m < mib; ++m) {
            file.seek(m << 20);
            file.write("MiB " + QByteArray::number(m) + '\n');
        }
    }
    std::FILE* expected = std::fopen(QFile::encodeName(path).constData(), "rb");
    ASSERT_NE(expected, nullptr);
    ASSERT_TRUE(run.start(pty.path, QStringLiteral("921600"), path));
    EXPECT_EQ(run.controls.progressMaximum, size);

    std::array<char, TransferEngine::SendBufferSize> want {};
    qint64 boardHas = 0;
    qint64 memoryAtTenth = -1;
    bool sameBytes = true;
    bool progressRight = true;
    run.controls.timeGap = QStringLiteral("1");
    run.engine.timeGapEdited();
    QEventLoop loop;
    QObject::connect(&run.engine, &TransferEngine::transferEnded, &loop, &QEventLoop::quit);
    QObject::connect(&run.engine, &TransferEngine::packetWritten, &loop, [&](qint64 bytes, qint64) {
        const int length = int(bytes);
        const QByteArray got = pty.read(length);
        const size_t wantLength = std::fread(want.data(), 1, size_t(length), expected);
        sameBytes = sameBytes && got.size() == length && wantLength == size_t(length)
            && std::equal(got.begin(), got.end(), want.begin());
        boardHas += got.size();
        progressRight = progressRight && run.controls.progressPosition == boardHas
            && run.controls.counter == QString::number(run.engine.packetCount());
        if (!sameBytes || !progressRight)
            loop.quit();
        if (memoryAtTenth < 0 && boardHas >= size / 10)
            memoryAtTenth = residentKiB();
    });
    if (run.engine.isSending())
        loop.exec();
    std::fclose(expected);
    EXPECT_TRUE(sameBytes) << "at byte " << boardHas;
    EXPECT_TRUE(progressRight) << "at byte " << boardHas;
    EXPECT_EQ(boardHas, size);
    EXPECT_EQ(run.controls.progressPosition, size);
    ASSERT_TRUE(run.end.has_value());
    EXPECT_EQ(*run.end, TransferEngine::TransferEnd::Finished); // the last packet met the end of the file
    const qint64 growthKiB = residentKiB() - memoryAtTenth;
    std::printf("[ figures  ] %lld MiB in %d packets, resident memory grew %lld KiB over the last 90%%\n",
                static_cast<long long>(mib), run.engine.packetCount(), static_cast<long long>(growthKiB));
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed blocks in quarantine: resident memory says
    // nothing about the engine there. The plain build checks it.
#else
    EXPECT_LT(growthKiB, 4096);
#endif
}
