// How evenly the transfer engine paces its packets, seen from the board: the
// engine sends a file to board-sim, which logs the monotonic time of every read.
//
//   LinePacing/<gap>: 32-byte lines at Time Gap <gap> ms. Counters: the mean
//     inter-packet gap as a ratio to the Time Gap (goal: within 1 % for 5-50 ms)
//     and the 99th-percentile deviation of single gaps in ms (goal: <= 1 ms),
//     also at the engine's own ticks (tick_p99_dev_ms).
//   BlockRate: 2048-byte blocks at a 1 ms Time Gap. Counter: packets per second
//     (goal: >= 950).
// The figures are ratios to the Time Gap, the clock the engine paces against;
// a memcpy reference would say nothing here.

#include "app/transfer/headlesscontrols.h"
#include "app/transfer/transferengine.h"
#include "bench/common/coremain.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

struct Read {
    double timeUs = 0;
    qint64 count = 0;
};

std::vector<Read> readLog(const QString& path)
{
    std::vector<Read> reads;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return reads;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().split(' ');
        if (fields.size() == 3)
            reads.push_back({fields[0].toDouble(), fields[1].toLongLong()});
    }
    return reads;
}

// Time at which the board began to receive each packet of `packetSize` bytes.
std::vector<double> packetStarts(const std::vector<Read>& reads, qint64 packetSize)
{
    std::vector<double> starts;
    qint64 offset = 0;
    for (const Read& read : reads) {
        for (qint64 next = ((offset + packetSize - 1) / packetSize) * packetSize; next < offset + read.count;
             next += packetSize)
            starts.push_back(read.timeUs);
        offset += read.count;
    }
    return starts;
}

// Sends `packets` packets of `packetSize` bytes at `gapMs`; the packet start
// times at the board, and in `tickTimesUs` the times the engine's ticks began.
std::vector<double> runTransfer(int gapMs, qint64 packetSize, int packets, bool blocks, QString& error,
                                std::vector<double>& tickTimesUs)
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("reads.log"));
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
    board.start(QStringLiteral(BOARD_SIM_PATH), {QStringLiteral("--log"), logPath});
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

    QEventLoop loop;
    QObject::connect(&engine, &TransferEngine::transferEnded, &loop, &QEventLoop::quit);
    QObject::connect(&engine.timer(), &PacedTimer::timeout, &loop, [&tickTimesUs] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        tickTimesUs.push_back(std::chrono::duration<double, std::micro>(now).count());
    });
    engine.startOrStop();
    if (engine.isSending())
        loop.exec();
    if (!controls.messages.isEmpty() && !controls.messages.last().text.contains(QStringLiteral("Finished"))
        && !controls.messages.last().text.contains(QStringLiteral("no data")))
        error = controls.messages.last().text;

    board.terminate();
    board.waitForFinished(5000);
    return packetStarts(readLog(logPath), packetSize);
}

// A percentile of |gap - gapMs| over consecutive times in microseconds.
double deviationMs(const std::vector<double>& timesUs, double gapMs, double percentile)
{
    std::vector<double> deviations;
    for (size_t i = 1; i < timesUs.size(); ++i)
        deviations.push_back(std::abs((timesUs[i] - timesUs[i - 1]) / 1000.0 - gapMs));
    if (deviations.empty())
        return 0;
    std::sort(deviations.begin(), deviations.end());
    return deviations[size_t(double(deviations.size() - 1) * percentile)];
}

void LinePacing(benchmark::State& state)
{
    const int gapMs = static_cast<int>(state.range(0));
    const int packets = std::clamp(5000 / gapMs, 200, 2000);
    for (auto _ : state) {
        QString error;
        std::vector<double> ticks;
        const std::vector<double> starts = runTransfer(gapMs, 32, packets, false, error, ticks);
        if (!error.isEmpty() || starts.size() < 3) {
            state.SkipWithError(error.isEmpty() ? "the board saw too few packets" : qPrintable(error));
            return;
        }
        const double meanGapMs = (starts.back() - starts.front()) / 1000.0 / double(starts.size() - 1);
        state.SetIterationTime((starts.back() - starts.front()) / 1e6);
        state.counters["packets"] = double(starts.size());
        state.counters["mean_gap_ratio"] = meanGapMs / gapMs;
        state.counters["p99_dev_ms"] = deviationMs(starts, gapMs, 0.99);
        state.counters["p50_dev_ms"] = deviationMs(starts, gapMs, 0.5);
        // The same at the engine's ticks: what the pacing does before the
        // line and the board's own scheduling add their delays.
        state.counters["tick_p99_dev_ms"] = deviationMs(ticks, gapMs, 0.99);
    }
}

void BlockRate(benchmark::State& state)
{
    for (auto _ : state) {
        QString error;
        std::vector<double> ticks;
        const std::vector<double> starts = runTransfer(1, 2048, 2000, true, error, ticks);
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

BENCHMARK(LinePacing)->Arg(1)->Arg(5)->Arg(20)->Arg(50)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BlockRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return luxbench::runCoreBenchmarks(argc, argv);
}
