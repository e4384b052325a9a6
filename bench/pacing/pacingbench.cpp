// How evenly the transfer engine paces its packets, seen from the board: the
// engine sends a file to board-sim, which logs the monotonic time of every read.
//
//   LinePacing/<gap>/<load>: 32-byte lines at Time Gap <gap> ms, with <load>
//     CPU-burning processes per core running beside it. Counters: the smallest
//     gap in ms (goal: >= Time Gap - 0.1 ms, the Time Gap is a floor), the
//     99th-percentile lateness (gap beyond the Time Gap) in ms (goal: <= 10 %
//     of the Time Gap for 5-50 ms) and the mean gap as a ratio to the Time Gap
//     (goal: within 2 %); the lateness at the engine's own ticks too
//     (tick_p99_late_ms).
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
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
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
    const int packets = std::clamp(5000 / gapMs, 200, 2000);
    const CpuBurners load(static_cast<int>(state.range(1)));
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
        state.counters["min_gap_ms"] = smallestGapMs(starts);
        state.counters["p99_late_ms"] = latenessMs(starts, gapMs, 0.99);
        state.counters["mean_gap_ratio"] = meanGapMs / gapMs;
        // The same at the engine's ticks: what the pacing does before the
        // line and the board's own scheduling add their delays.
        state.counters["tick_p99_late_ms"] = latenessMs(ticks, gapMs, 0.99);
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

BENCHMARK(LinePacing)->ArgsProduct({{1, 5, 20, 50}, {0, 2}})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BlockRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return luxbench::runCoreBenchmarks(argc, argv);
}
