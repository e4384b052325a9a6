// Every built-in effect on the grid of a 1920 x 1080 picture at Resolution 1 (1921 x 1081
// cells) at progress 25, 50, 75 and 100. Each iteration clears the grid, as a caller of the
// procedure must, and runs the procedure once. The goal is the slowest generator (mask or cell
// grid) at or under twice a memcpy of the 32-bit frame of the grid's size, measured in the same
// run. The manual effects draw 1920 x 1080 pictures after a copy of the old one, and are
// reported apart.
//
// The pixel family remembers the order in which its draws reach the cells of a grid size, so
// the figures are those of every frame after the first; "cold" runs show the first frame.
// "PixelOrder" runs time a whole order of a 1080p and a 4K grid on this thread, drawn to its end
// (late 0) and with the last cells found from their first draws, at multiples of n^2 / 2^32 and at the
// count the order takes by itself: the fastest multiple shows whether that count is well chosen.
// "ahead" runs time, by the clock, the whole order drawn on its own thread as a transition's set-up
// starts it (with the second thread that shares its late sift where a second processor is).

#include "bench/common/memcpyref.h"

#include "effects/engine/builtineffects.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/masks/pixelorder.h"
#include "effects/bitmap/rasterprimitives.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int gridW = 1921, gridH = 1081;
constexpr int pictureW = 1920, pictureH = 1080;
const size_t maskBytes = size_t(gridW) * gridH;

// Seconds per iteration of the loop that just ran, for the ratio to memcpy.
struct LoopClock {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double perIteration(const benchmark::State& state) const
    {
        const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return state.iterations() ? total / double(state.iterations()) : 0.0;
    }
};

void runFade(benchmark::State& state, TluxFadeProc proc, int p, bool cold)
{
    std::vector<uint8_t> mask(maskBytes);
    if (!cold) // a frame after the first: the pixel family has met this grid size before
        proc(mask.data(), gridW, gridH, uint8_t(p));
    const LoopClock clock;
    for (auto _ : state) {
        if (cold)
            releasePixelOrderCache();
        std::memset(mask.data(), 0, mask.size());
        proc(mask.data(), gridW, gridH, uint8_t(p));
        benchmark::DoNotOptimize(mask.data());
        benchmark::ClobberMemory();
    }
    luxbench::reportRatio(state, clock.perIteration(state), maskBytes);
}

void runSlide(benchmark::State& state, TluxSlideProc proc, int p)
{
    std::vector<TluxCell> cells(maskBytes);
    const LoopClock clock;
    for (auto _ : state) {
        std::memset(static_cast<void*>(cells.data()), 0, cells.size() * sizeof(TluxCell));
        proc(cells.data(), gridW, gridH, uint8_t(p));
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }
    luxbench::reportRatio(state, clock.perIteration(state), cells.size() * sizeof(TluxCell));
}

void runManual(benchmark::State& state, TluxManualProc proc, int p)
{
    TluxBitmap old, work, dest;
    old.SetSize(pictureW, pictureH);
    old.Clear(0xFF204060u);
    work.SetSize(pictureW, pictureH);
    dest.SetSize(pictureW, pictureH);
    dest.Clear(0xFFC0A080u);
    TluxAnimationRec settings;
    const LoopClock clock;
    for (auto _ : state) {
        std::memcpy(work.Bits, old.Bits, size_t(pictureW) * pictureH * sizeof(TluxColor));
        proc(&work, &dest, &settings, uint8_t(p));
        benchmark::DoNotOptimize(work.Bits);
        benchmark::ClobberMemory();
    }
    luxbench::reportRatio(state, clock.perIteration(state), size_t(pictureW) * pictureH * sizeof(TluxColor));
}

// The late cells at `eighths` / 8 times n^2 / 2^32.
template <int eighths>
uint32_t lateTimes(uint32_t n)
{
    return uint32_t(std::min<uint64_t>(n, uint64_t(n) * n / (uint64_t(1) << 32) * eighths / 8));
}

void runWholeOrder(benchmark::State& state, uint32_t n, PixelOrder::LateCells late)
{
    for (auto _ : state) {
        PixelOrder order(late);
        benchmark::DoNotOptimize(order.choose(n, 100).seed);
    }
    state.counters["late_cells"] = late(n);
}

void runWholeOrderAhead(benchmark::State& state, uint32_t n)
{
    for (auto _ : state) {
        PixelOrder order;
        order.prepareAhead(n);
        benchmark::DoNotOptimize(order.choose(n, 100).seed);
    }
}

// The slowest run of a group, by wall time and by processor time.
struct Slowest {
    double ms = 0, cpuMs = 0;
    std::string name, cpuName;

    void take(const std::string& run, double wall, double cpu)
    {
        if (wall > ms) {
            ms = wall;
            name = run;
        }
        if (cpu > cpuMs) {
            cpuMs = cpu;
            cpuName = run;
        }
    }
    void print(const char* what, double frameMs) const
    {
        std::printf("slowest %s (warm): %s, %.3f ms wall, %.2f x memcpy of the 32-bit frame; by processor time "
                    "%s, %.3f ms, %.2f x\n",
                    what, name.c_str(), ms, ms / frameMs, cpuName.c_str(), cpuMs, cpuMs / frameMs);
    }
};

// Keeps the console output and remembers the slowest run of the generators (fade masks and slide
// cell grids, the goal's subject) and, apart, of the manual effects, which draw whole pictures.
class SlowestReporter : public benchmark::ConsoleReporter
{
public:
    explicit SlowestReporter(std::vector<std::string> manualPrefixes)
        : m_manualPrefixes(std::move(manualPrefixes))
    {
    }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name = r.benchmark_name();
            // The first frames and the whole orders are no generator's frame.
            if (r.run_type != Run::RT_Iteration || name.find("cold") != std::string::npos ||
                name.rfind("PixelOrder/", 0) == 0)
                continue;
            const double ms = r.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            const double cpuMs = r.GetAdjustedCPUTime() * 1e3 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            const bool manual = std::any_of(m_manualPrefixes.begin(), m_manualPrefixes.end(),
                                            [&](const std::string& p) { return name.rfind(p, 0) == 0; });
            (manual ? m_manual : m_generators).take(name, ms, cpuMs);
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double frameMs = luxbench::memcpySeconds(maskBytes * sizeof(TluxColor)) * 1e3;
        std::printf("memcpy of the 32-bit frame: %.3f ms; goal for the slowest generator <= 2 x\n", frameMs);
        m_generators.print("generator", frameMs);
        if (!m_manual.name.empty())
            m_manual.print("manual effect (restore of the old picture + drawing)", frameMs);
    }

private:
    std::vector<std::string> m_manualPrefixes;
    Slowest m_generators, m_manual;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    initRasterPrimitives();
    StartEffectRegistry();
    const double memcpyMs = luxbench::memcpySeconds(maskBytes) * 1e3;
    std::printf("memcpy of the %zu-byte mask: %.3f ms\n", maskBytes, memcpyMs);

    for (const BuiltinEffect& e : builtinEffects()) {
        for (int p : {25, 50, 75, 100}) {
            const std::string name = std::string(e.Name) + "/P" + std::to_string(p);
            switch (e.Kind) {
            case pkFade:
                benchmark::RegisterBenchmark(name.c_str(), [e, p](benchmark::State& s) {
                    runFade(s, reinterpret_cast<TluxFadeProc>(e.Proc), p, false);
                })->Unit(benchmark::kMillisecond);
                break;
            case pkSlide:
                benchmark::RegisterBenchmark(name.c_str(), [e, p](benchmark::State& s) {
                    runSlide(s, reinterpret_cast<TluxSlideProc>(e.Proc), p);
                })->Unit(benchmark::kMillisecond);
                break;
            case pkManual:
                benchmark::RegisterBenchmark(name.c_str(), [e, p](benchmark::State& s) {
                    runManual(s, reinterpret_cast<TluxManualProc>(e.Proc), p);
                })->Unit(benchmark::kMillisecond);
                break;
            }
        }
        if (std::strncmp(e.Name, "Pixel", 5) == 0)
            for (int p : {50, 100})
                benchmark::RegisterBenchmark((std::string(e.Name) + "/cold/P" + std::to_string(p)).c_str(),
                                             [e, p](benchmark::State& s) {
                                                 runFade(s, reinterpret_cast<TluxFadeProc>(e.Proc), p, true);
                                             })
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(3);
    }

    const std::pair<const char*, PixelOrder::LateCells> lateCounts[] = {
        {"0", &lateTimes<0>},     {"1/8", &lateTimes<1>}, {"1/4", &lateTimes<2>}, {"1/2", &lateTimes<4>},
        {"1", &lateTimes<8>},     {"2", &lateTimes<16>},  {"own", &PixelOrder::lateCellsFor}};
    for (const auto& [size, n] : {std::pair{"1080p", 1920u * 1080u}, std::pair{"4K", 3840u * 2160u}})
        for (const auto& [name, late] : lateCounts)
            benchmark::RegisterBenchmark((std::string("PixelOrder/") + size + "/late " + name).c_str(),
                                         [n, late](benchmark::State& s) { runWholeOrder(s, n, late); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3);
    for (const auto& [size, n] : {std::pair{"1080p", 1920u * 1080u}, std::pair{"4K", 3840u * 2160u}})
        benchmark::RegisterBenchmark((std::string("PixelOrder/") + size + "/ahead").c_str(),
                                     [n](benchmark::State& s) { runWholeOrderAhead(s, n); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(5);

    benchmark::Initialize(&argc, argv);
    std::vector<std::string> manualPrefixes;
    for (const BuiltinEffect& e : builtinEffects())
        if (e.Kind == pkManual)
            manualPrefixes.push_back(std::string(e.Name) + "/");
    SlowestReporter reporter(std::move(manualPrefixes));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    ShutDownEffectRegistry();
    return 0;
}
