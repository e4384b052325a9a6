// The log box (Memo1) under a flood: how long adding received text and
// repainting take once it holds 100 000 lines, against the 16 ms of one
// screen frame and the 50 ms default Time Gap. Each figure also carries its
// ratio to memcpy of the bytes added.
//
// Run with a display (xvfb-run) or QT_QPA_PLATFORM=offscreen.

#include "app/window/logbox.h"
#include "bench/common/memcpyref.h"
#include "app/transfer/receivedtext.h"
#include "app/window/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int FullLines = 100000;

// One read of the port as the board sends it: numbered lines with CR LF.
QByteArray receivedLines(int first, int count)
{
    QByteArray bytes;
    for (int i = first; i < first + count; ++i)
        bytes += "line " + QByteArray::number(i) + " from the board: OK\r\n";
    return bytes;
}

// The log as the window shows it: 321 x 377, on screen.
std::unique_ptr<LogBox> shownLog()
{
    auto log = std::make_unique<LogBox>();
    log->resize(321, 377);
    log->show();
    QCoreApplication::processEvents();
    return log;
}

// Appends like a tick does and lets the window repaint.
void addAndPaint(LogBox& log, const QByteArray& bytes)
{
    log.appendLine(ReceivedText(bytes));
    log.viewport()->repaint();
    QCoreApplication::processEvents();
}

std::unique_ptr<LogBox> g_fullLog;

LogBox& fullLog()
{
    std::unique_ptr<LogBox>& log = g_fullLog;
    if (!log) {
        log = shownLog();
        for (int i = 0; i < FullLines; i += 100)
            log->appendLine(ReceivedText(receivedLines(i, 100)));
        QCoreApplication::processEvents();
    }
    return *log;
}

// Filling an empty log with 100 000 lines, 100 lines per tick; the slowest
// tick is the stutter a user would see.
void BM_FillTo100kLines(benchmark::State& state)
{
    const int perTick = static_cast<int>(state.range(0));
    double slowest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto log = shownLog();
        state.ResumeTiming();
        for (int i = 0; i < FullLines; i += perTick) {
            QElapsedTimer tick;
            tick.start();
            addAndPaint(*log, receivedLines(i, perTick));
            slowest = std::max(slowest, tick.nsecsElapsed() / 1e6);
        }
        benchmark::DoNotOptimize(log->document()->blockCount());
        state.PauseTiming();
        log.reset();
        state.ResumeTiming();
    }
    state.counters["slowest_tick_ms"] = slowest;
    state.counters["lines"] = FullLines;
}
BENCHMARK(BM_FillTo100kLines)->Arg(100)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One tick's reply added to a log that holds `lines` lines.
void tickOn(benchmark::State& state, LogBox& log)
{
    const QByteArray reply = receivedLines(FullLines, static_cast<int>(state.range(0)));
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer tick;
        tick.start();
        addAndPaint(log, reply);
        seconds += tick.nsecsElapsed() / 1e9;
    }
    luxbench::reportRatio(state, seconds / double(state.iterations()), size_t(reply.size()));
    state.counters["lines_at_end"] = log.document()->blockCount();
}

// The same on an empty log: the full log should cost no more.
void BM_TickOnEmptyLog(benchmark::State& state)
{
    auto log = shownLog();
    tickOn(state, *log);
}
BENCHMARK(BM_TickOnEmptyLog)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_TickOnFullLog(benchmark::State& state)
{
    tickOn(state, fullLog());
}
BENCHMARK(BM_TickOnFullLog)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

// Scrolling the full log by a page and repainting.
void BM_ScrollFullLog(benchmark::State& state)
{
    LogBox& log = fullLog();
    QScrollBar* bar = log.verticalScrollBar();
    int step = -bar->pageStep();
    for (auto _ : state) {
        if (bar->value() + step < bar->minimum() || bar->value() + step > bar->maximum())
            step = -step;
        bar->setValue(bar->value() + step);
        log.viewport()->repaint();
        QCoreApplication::processEvents();
    }
    bar->setValue(bar->maximum());
}
BENCHMARK(BM_ScrollFullLog)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ApplyToolLook();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fullLog.reset(); // before the application goes
    return 0;
}
