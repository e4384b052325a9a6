// How soon Stop takes effect when the transfer cannot go on by itself. Stop is
// pressed from another thread the way a click or Ctrl-C reaches the program:
// as an event for the engine's thread, which takes it when its event loop is
// free. The figure is the time from the press to the engine reporting the
// transfer's end (goal: within 100 ms).
//
//   StopWhileTheBoardReadsNothing/<baud>: 2048-byte blocks every millisecond
//     to a pseudo-terminal nobody reads; Stop once the queued bytes have not
//     moved for 100 ms.
//   StopWhileTheFileOpens: the send file is a FIFO opened to wait for its
//     writer, which never comes (as an open on a slow network share); Stop
//     100 ms after Start.
// Counters: stop_ms (the slowest of the repetitions) and stop_mean_ms.

#include "app/transfer/headlesscontrols.h"
#include "app/transfer/transferengine.h"
#include "bench/common/coremain.h"
#include "tests/support/ptypair.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int Repetitions = 10;
constexpr qint64 StillMs = 100;

double nowMs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

struct Rig {
    Rig()
    {
        controls.port = pty.path;
        controls.pauseChecked = true;
        controls.dataSize = QStringLiteral("2048");
        controls.timeGap = QStringLiteral("1");
        engine.timeGapEdited();
        engine.dataSizeEdited();
        QObject::connect(&engine, &TransferEngine::transferEnded, &engine,
                         [this](TransferEngine::TransferEnd end) {
                             endedMs = nowMs();
                             ended = end;
                             loop.quit();
                         });
    }

    // Presses Stop from another thread; returns at once.
    void pressStop()
    {
        presser = std::thread([this] {
            pressedMs = nowMs();
            QMetaObject::invokeMethod(&engine, [this] { engine.startOrStop(); }, Qt::QueuedConnection);
        });
    }

    // Runs until the transfer ends; the milliseconds from the press to the end,
    // or a negative number when it did not end by Stop.
    double run()
    {
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        if (engine.isSending())
            loop.exec();
        if (presser.joinable())
            presser.join();
        if (ended != TransferEngine::TransferEnd::Interrupted || pressedMs.load() == 0)
            return -1;
        return endedMs - pressedMs.load();
    }

    PtyPair pty;
    QTemporaryDir dir;
    HeadlessControls controls;
    TransferEngine engine {controls};
    QEventLoop loop;
    std::thread presser;
    std::atomic<double> pressedMs {0};
    double endedMs = 0;
    TransferEngine::TransferEnd ended = TransferEngine::TransferEnd::Finished;
};

double stopWhileTheBoardReadsNothing(int baud)
{
    Rig rig;
    rig.controls.baud = QString::number(baud);
    const QString file = rig.dir.filePath(QStringLiteral("image.bin"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return -1;
        out.write(QByteArray(4 * 1024 * 1024, 'z'));
    }
    rig.controls.sendFile = file;

    QTimer look;
    qint64 lastQueued = -1;
    double stillSince = 0;
    QObject::connect(&look, &QTimer::timeout, &rig.engine, [&] {
        const qint64 queued = rig.engine.packetsInHand() > 0 ? rig.engine.packetCount() + 1 : 0;
        if (queued == 0 || queued != lastQueued)
            stillSince = nowMs();
        lastQueued = queued;
        if (nowMs() - stillSince >= StillMs) {
            look.stop();
            rig.pressStop();
        }
    });
    rig.engine.startOrStop();
    look.start(5);
    return rig.run();
}

double stopWhileTheFileOpens()
{
    Rig rig;
    rig.controls.baud = QStringLiteral("115200");
    const QString fifo = rig.dir.filePath(QStringLiteral("fifo"));
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        return -1;
    rig.controls.sendFile = fifo;
    rig.engine.setOpenWaitsForWriter(true);
    rig.engine.startOrStop();
    QTimer::singleShot(StillMs, &rig.engine, [&rig] { rig.pressStop(); });
    const double ms = rig.run();
    // The abandoned open is let go; it closes what it opens.
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        ::close(writer);
    return ms;
}

void report(benchmark::State& state, const std::function<double()>& once)
{
    for (auto _ : state) {
        double slowest = 0;
        double sum = 0;
        for (int i = 0; i < Repetitions; ++i) {
            const double ms = once();
            if (ms < 0) {
                state.SkipWithError("the transfer did not end by Stop");
                return;
            }
            slowest = std::max(slowest, ms);
            sum += ms;
        }
        state.SetIterationTime(slowest / 1000);
        state.counters["stop_ms"] = slowest;
        state.counters["stop_mean_ms"] = sum / Repetitions;
    }
}

void StopWhileTheBoardReadsNothing(benchmark::State& state)
{
    const int baud = static_cast<int>(state.range(0));
    report(state, [baud] { return stopWhileTheBoardReadsNothing(baud); });
}

void StopWhileTheFileOpens(benchmark::State& state)
{
    report(state, [] { return stopWhileTheFileOpens(); });
}

} // namespace

BENCHMARK(StopWhileTheBoardReadsNothing)->Arg(9600)->Arg(921600)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(StopWhileTheFileOpens)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return luxbench::runCoreBenchmarks(argc, argv);
}
