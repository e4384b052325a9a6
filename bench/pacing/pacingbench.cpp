// How evenly the transfer engine paces its packets: the engine sends a file to
// board-sim, and each packet is timed where it is written: the monotonic time
// its packet sender takes just before the packet's first byte goes to
// write(2), one time per packet (the board's reads can hold two packets, so
// they cannot tell the smallest gap).
//
//   LinePacing/<gap>/<load>: 32-byte lines at Time Gap <gap> ms, with <load>
//     CPU-burning processes per core running beside it. Counters: the smallest
//     gap in ms (goal: >= Time Gap - 0.1 ms, the Time Gap is a floor), the
//     99th-percentile lateness (gap beyond the Time Gap) in ms (goal: <= 10 %
//     of the Time Gap) and the mean gap as a ratio to the Time Gap (goal:
//     within 2 %); a summary line per run with the machine's load.
//   BlockRate: 2048-byte blocks at a 1 ms Time Gap. Counter: packets per second
//     (goal: >= 950; the floor of 1 ms allows at most 1000).
// The figures are ratios to the Time Gap, the clock the engine paces against;
// a memcpy reference would say nothing here.

#include "app/transfer/headlesscontrols.h"
#include "app/transfer/transferengine.h"
#include "bench/common/coremain.h"
#include "bench/common/summary.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Sends `packets` packets of `packetSize` bytes at `gapMs`; the monotonic
// time in microseconds at which each packet began to be written.
std::vector<double> runTransfer(int gapMs, qint64 packetSize, int packets, bool blocks, QString& error)
{
    QTemporaryDir dir;
    const QString filePath = dir.filePath(QStringLiteral("image.bin"));
    {
        QByteArray packet(packetSize, 'p');
        if (!blocks)
            packet.back() = '\n';
        QFile file(filePath);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < packets; ++i)
            file.write(packet);
    }

    QProcess board;
    board.start(QStringLiteral(BOARD_SIM_PATH), {});
    while (!board.canReadLine() && board.waitForReadyRead(5000)) {}
    const QString device = QString::fromLocal8Bit(board.readLine().trimmed());

    HeadlessControls controls;
    controls.port = device;
    controls.baud = QStringLiteral("921600");
    controls.sendFile = filePath;
    controls.pauseChecked = blocks;
    controls.dataSize = QString::number(packetSize);
    controls.timeGap = QString::number(gapMs);
    TransferEngine engine(controls);
    controls.listenTo(engine);
    engine.timeGapEdited();
    engine.dataSizeEdited();

    std::vector<double> startsUs;
    QEventLoop loop;
    QObject::connect(&engine, &TransferEngine::transferEnded, &loop, &QEventLoop::quit);
    QObject::connect(&engine, &TransferEngine::packetWritten, &loop,
                     [&startsUs](qint64, qint64 startNs) {
                         if (startNs >= 0)
                             startsUs.push_back(double(startNs) / 1000.0);
                     });
    engine.startOrStop();
    if (engine.isSending())
        loop.exec();
    if (!controls.messages.isEmpty() && !controls.messages.last().text.contains(QStringLiteral("Finished"))
        && !controls.messages.last().text.contains(QStringLiteral("no data")))
        error = controls.messages.last().text;

    board.terminate();
    board.waitForFinished(5000);
    return startsUs;
}

// A percentile of the lateness, gap - gapMs (0 for a gap not longer), over
// consecutive times in microseconds.
double latenessMs(const std::vector<double>& timesUs, double gapMs, double percentile)
{
    std::vector<double> late;
    for (size_t i = 1; i < timesUs.size(); ++i)
        late.push_back(std::max((timesUs[i] - timesUs[i - 1]) / 1000.0 - gapMs, 0.0));
    if (late.empty())
        return 0;
    std::sort(late.begin(), late.end());
    return late[size_t(double(late.size() - 1) * percentile)];
}

double smallestGapMs(const std::vector<double>& timesUs)
{
    double smallest = 1e300;
    for (size_t i = 1; i < timesUs.size(); ++i)
        smallest = std::min(smallest, (timesUs[i] - timesUs[i - 1]) / 1000.0);
    return smallest;
}

// `perCore` processes per core that only burn CPU, for as long as it lives.
class CpuBurners {
public:
    explicit CpuBurners(int perCore)
    {
        for (int i = 0; i < perCore * QThread::idealThreadCount(); ++i) {
            auto burner = std::make_unique<QProcess>();
            burner->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            burner->waitForStarted();
            m_burners.push_back(std::move(burner));
        }
    }
    ~CpuBurners()
    {
        for (const auto& burner : m_burners) {
            burner->kill();
            burner->waitForFinished();
        }
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_burners;
};

void LinePacing(benchmark::State& state)
{
    const int gapMs = static_cast<int>(state.range(0));
    const int perCore = static_cast<int>(state.range(1));
    const int packets = std::clamp(3000 / gapMs, 100, 600);
    const CpuBurners load(perCore);
    for (auto _ : state) {
        QString error;
        const std::vector<double> starts = runTransfer(gapMs, 32, packets, false, error);
        if (!error.isEmpty() || starts.size() < 3) {
            state.SkipWithError(error.isEmpty() ? "too few packets went out" : qPrintable(error));
            return;
        }
        const double meanRatio = (starts.back() - starts.front()) / 1000.0 / double(starts.size() - 1) / gapMs;
        const double smallest = smallestGapMs(starts);
        const double p99 = latenessMs(starts, gapMs, 0.99);
        state.SetIterationTime((starts.back() - starts.front()) / 1e6);
        state.counters["packets"] = double(starts.size());
        state.counters["min_gap_ms"] = smallest;
        state.counters["p99_late_ms"] = p99;
        state.counters["mean_gap_ratio"] = meanRatio;
        const bool met = smallest >= gapMs - 0.1 && p99 <= 0.1 * gapMs && std::abs(meanRatio - 1) <= 0.02;
        double loadAverage[1] = {0};
        ::getloadavg(loadAverage, 1);
        luxbench::summary().add("lines at the write, gap %2d ms, %d burners per core: smallest gap %.3f ms (goal >= "
                                "%.1f), p99 lateness %.3f ms (goal <= %.1f), mean gap %.4f x gap (goal 0.98-1.02): "
                                "%s; load average %.2f",
                                gapMs, perCore, smallest, gapMs - 0.1, p99, 0.1 * gapMs, meanRatio,
                                met ? "met" : "MISSED", loadAverage[0]);
    }
}

void BlockRate(benchmark::State& state)
{
    for (auto _ : state) {
        QString error;
        const std::vector<double> starts = runTransfer(1, 2048, 2000, true, error);
        if (!error.isEmpty() || starts.size() < 3) {
            state.SkipWithError(error.isEmpty() ? "the board saw too few packets" : qPrintable(error));
            return;
        }
        const double seconds = (starts.back() - starts.front()) / 1e6;
        state.SetIterationTime(seconds);
        state.counters["packets"] = double(starts.size());
        state.counters["packets_per_s"] = double(starts.size() - 1) / seconds;
    }
}

} // namespace

BENCHMARK(LinePacing)->ArgsProduct({{5, 20, 50}, {0, 2}})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BlockRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    const int status = luxbench::runCoreBenchmarks(argc, argv);
    luxbench::summary().print("pacing");
    return status;
}
