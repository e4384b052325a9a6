// Frame composition and the engine's frames, at 1920 x 1080 and 3840 x 2160, in three parts whose
// figures close the output in a summary:
//   frame steps   every built-in effect's frame at P = 50 (composition and drawing on a canvas),
//                 as a ratio to memcpy of one frame: the median of the repetitions, min-max beside,
//                 the effects interleaved across the repetitions (one line each, "frame step");
//   progressions  every effect's frames at P = 5, 10 .. 100 after a cold set-up (the caches a
//                 family fills start empty), back to back and at the engine's 20 ms pace: the
//                 worst frame of the runs;
//   transitions   real 400 ms transitions in the event loop, every effect at 1920 x 1080 and the
//                 ten costliest progressions at 3840 x 2160: the ticks that passed without a frame,
//                 the set-up counted, in the worst of three runs.
// The compositions of the fade kind at 1920 x 1080 come first.

#include "effects/engine/animationengine.h"
#include "effects/engine/builtineffects.h"
#include "effects/masks/circlecover.h"
#include "effects/masks/pixelorder.h"
#include "effects/masks/shapecover.h"
#include "effects/util/rowbands.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/framecomposer.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"
#include "bench/common/effectsmain.h"
#include "bench/common/memcpyref.h"
#include "bench/common/summary.h"

#include "platform/canvas.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using luxbench::Spread;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * sizeof(TluxColor);
constexpr int kProgressionRuns = 2;  // per way of pacing
constexpr int kTransitionRuns = 3;
constexpr int kCostliestAt4K = 10;

size_t frameBytes(int width, int height)
{
    return size_t(width) * size_t(height) * sizeof(TluxColor);
}

// Source and Dest of noise, filled once per size; each benchmark starts from a copy, since a
// composition may change Dest's alpha.
struct Noise {
    TluxBitmap source, dest;
};

const Noise& noise(int width, int height)
{
    static std::map<int, std::unique_ptr<Noise>> made;
    std::unique_ptr<Noise>& n = made[width];
    if (!n) {
        n = std::make_unique<Noise>();
        for (auto [b, seed] : {std::pair{&n->source, 1u}, std::pair{&n->dest, 2u}}) {
            b->SetSize(width, height);
            std::mt19937 rng(seed);
            for (int i = 0; i < width * height; ++i)
                b->Bits[i] = rng() | 0xFF000000u;
        }
    }
    return *n;
}

void copyPicture(const TluxBitmap& from, TluxBitmap& to)
{
    to.SetSize(from.Width, from.Height);
    std::memcpy(to.Bits, from.Bits, frameBytes(from.Width, from.Height));
}

struct Pictures {
    TluxBitmap source, dest;
    TluxAnimationRec settings;
    TluxAnimationSlot slot;

    explicit Pictures(const char* effect, int width = kWidth, int height = kHeight)
    {
        const Noise& n = noise(width, height);
        copyPicture(n.source, source);
        copyPicture(n.dest, dest);
        settings.Effect = QString::fromLatin1(effect);
        prepareAnimationSlot(slot, &source, &dest, &settings);
    }
    ~Pictures() { releaseAnimationSlot(slot); }
};

// A screen image and a canvas on it, which the engine draws each frame onto.
struct Screen {
    QImage image;
    DeviceContext dc;
    TCanvas canvas;
    Screen(int width, int height)
        : image(width, height, QImage::Format_ARGB32)
        , dc(&image)
        , canvas(&dc)
    {
        image.fill(0);
    }
};

// Every figure of the run, for the summary.
struct Figures {
    std::map<std::string, Spread> frameStep[2];                  // by size (0: 1080p, 1: 4K)
    std::map<std::string, double> worstFrame[2][2];              // by size, by pacing (0: back to back)
    std::map<std::string, double> progressionCost[2];            // set-up + every frame, the worst run
    std::map<std::string, double> missedTicks[2];                // the worst run
    std::map<std::string, double> transitionMs[2];               // set-up + running, the worst run
};

Figures& figures()
{
    static Figures f;
    return f;
}

int sizeIndex(int width)
{
    return width > kWidth ? 1 : 0;
}

// The yardstick: memcpy of one frame, timed as the others are.
void BM_MemcpyFrame(benchmark::State& state)
{
    std::vector<TluxColor> from(size_t(kWidth) * kHeight, 1), to(size_t(kWidth) * kHeight, 2);
    luxbench::timeRepeated(state, kFrameBytes, [&] { std::memcpy(to.data(), from.data(), kFrameBytes); });
}

// The fade-kind composition of one frame: Source copied onto the work image, the mask stamped
// and Dest blended over it, in one pass. "Fade" blends every pixel; the others mix old, new and
// blended areas at P = 50.
void BM_FadeComposition(benchmark::State& state, const char* effect)
{
    Pictures p(effect);
    composeFrame(p.slot, 50);
    luxbench::timeRepeated(state, kFrameBytes, [&] { composeFrame(p.slot, 50); });
}

// The same frame through the separate passes (copy, alpha stretch, clear alpha, blend).
void BM_FadeCompositionSeparatePasses(benchmark::State& state, const char* effect)
{
    Pictures p(effect);
    luxbench::timeRepeated(state, kFrameBytes, [&] {
        copySourceToWork(p.slot);
        Compose(p.slot, 50);
    });
}

// The whole frame step at P = 50 of every effect at one size, with the row bands the engine
// starts: compose and draw the frame onto a canvas over a screen image. The effects are
// interleaved: each repetition visits every effect once, starting one effect further on each
// time, so that a slow patch of the machine falls on many effects a little rather than on one.
// A visit prepares the effect (and waits for the shape record its set-up records ahead), draws a
// first frame untimed (which fills what the effect keeps), times a batch of frames and then a
// batch of memcpy of one frame; its ratio is one repetition.
void BM_FrameSteps(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    const auto effects = builtinEffects();
    const size_t n = effects.size();
    luxbench::MemcpyReference reference(frameBytes(width, height));
    Screen screen(width, height);
    std::map<std::string, std::vector<double>> x, ms;
    startRowBands();
    for (auto _ : state) {
        for (int r = 0; r < luxbench::kRepetitions; ++r) {
            for (size_t i = 0; i < n; ++i) {
                const char* effect = effects[(i + size_t(r) * n / luxbench::kRepetitions) % n].Name;
                Pictures p(effect, width, height);
                finishShapesAhead();
                const double work = luxbench::batchSeconds([&] {
                    composeFrame(p.slot, 50);
                    p.slot.work->Draw(&screen.canvas, 0, 0);
                });
                const double copy = reference.seconds();
                x[effect].push_back(work / copy);
                ms[effect].push_back(work * 1e3);
            }
        }
    }
    stopRowBands();
    std::map<std::string, Spread>& steps = figures().frameStep[sizeIndex(width)];
    for (const BuiltinEffect& e : effects) {
        const Spread ratio = luxbench::spreadOf(x[e.Name]);
        steps[e.Name] = ratio;
        std::printf("frame step %-5s %-32s %6.2fx memcpy (%.2f-%.2f) %7.2f ms\n", width > kWidth ? "4K" : "1080p",
                    e.Name, ratio.median, ratio.min, ratio.max, luxbench::spreadOf(ms[e.Name]).median);
    }
    std::fflush(stdout);
}

// The frames of a transition as the engine meets them, with the progress rising from 5 to 100
// in steps of 5, each composed and drawn onto a canvas: back to back (range 2 = 0) or at the
// engine's pace (one frame every 20 ms from the end of the set-up, or at once when late). Each
// run starts cold: the caches that a family fills (the pixel family's order, the shape and
// circle records) are emptied, then the set-up lays out what it lays out.
void BM_Progression(benchmark::State& state, const char* effect)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    const bool paced = state.range(2) != 0;
    Pictures p(effect, width, height);
    Screen screen(width, height);
    startRowBands();
    std::vector<double> frames;
    double worstSetup = 0, worstCost = 0;
    for (auto _ : state) {
        for (int run = 0; run < kProgressionRuns; ++run) {
            releaseAnimationSlot(p.slot);
            releasePixelOrderCache();
            releaseShapeCovers();
            releaseCircleCover();
            const auto start = std::chrono::steady_clock::now();
            prepareAnimationSlot(p.slot, &p.source, &p.dest, &p.settings);
            const auto ticking = std::chrono::steady_clock::now();
            const double setup = std::chrono::duration<double, std::milli>(ticking - start).count();
            double cost = setup;
            for (int P = 5, tick = 1; P <= 100; P += 5, ++tick) {
                if (paced)
                    std::this_thread::sleep_until(ticking + std::chrono::milliseconds(luxEngineInterval * tick));
                const double ms = luxbench::secondsOf([&] {
                    composeFrame(p.slot, P);
                    p.slot.work->Draw(&screen.canvas, 0, 0);
                }) * 1e3;
                frames.push_back(ms);
                cost += ms;
            }
            worstSetup = std::max(worstSetup, setup);
            worstCost = std::max(worstCost, cost);
        }
    }
    stopRowBands();
    const Spread f = luxbench::spreadOf(frames);
    state.counters["worst_ms"] = f.max;
    state.counters["median_ms"] = f.median;
    state.counters["setup_ms"] = worstSetup;
    const int s = sizeIndex(width);
    figures().worstFrame[s][paced ? 1 : 0][effect] = f.max;
    if (paced)
        figures().progressionCost[s][effect] = worstCost;
}

// The effect whose paced progression at 3840 x 2160 cost `rank`-th most in this run, or one of
// the costliest measured before when the progressions did not run.
std::string costliestAt4K(int rank)
{
    const std::map<std::string, double>& cost = figures().progressionCost[1];
    std::vector<std::pair<double, std::string>> order;
    for (const auto& [effect, ms] : cost)
        order.emplace_back(ms, effect);
    std::sort(order.rbegin(), order.rend());
    if (size_t(rank) < order.size())
        return order[size_t(rank)].second;
    static const char* const earlier[kCostliestAt4K] = {"Pixel",        "RotateSmooth",  "CircleSmooth",
                                                         "CircleFadeOut", "CircleSlide",   "DiamondSlideOut",
                                                         "Pixel fade",   "Pixel line",    "SmoothDiagonal",
                                                         "SlideRectIn"};
    return earlier[rank];
}

// A real 400 ms transition, started as ExecuteAnimation starts it and played by the engine in
// the event loop. The transition takes the set-up (the slot's pictures and what the effect lays
// out) and the running time up to the last frame; one tick is due every 20 ms of it, and each
// tick the engine's timer gives draws a frame. The ticks due that gave no frame are missed. Each
// run starts cold as the progressions do. range 2 >= 0: the rank among the costliest at 4K.
void BM_Transition400ms(benchmark::State& state, std::string effect)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    if (state.range(2) >= 0)
        effect = costliestAt4K(int(state.range(2)));
    state.SetLabel(effect);
    Pictures p(effect.c_str(), width, height);
    releaseAnimationSlot(p.slot);
    Screen screen(width, height);
    StartAnimationEngine();
    int ticks = 0;
    QObject::connect(EngineTimer, &QTimer::timeout, [&] { ++ticks; });
    double worstMissed = 0, worstMs = 0, worstSetup = 0, frames = 0;
    for (auto _ : state) {
        for (int run = 0; run < kTransitionRuns; ++run) {
            releasePixelOrderCache();
            releaseShapeCovers();
            releaseCircleCover();
            ticks = 0;
            QElapsedTimer clock;
            clock.start();
            const int index = StartMultiAnimation(&screen.canvas, 0, 0, &p.source, &p.dest, &p.settings, -1);
            const double setup = double(clock.nsecsElapsed()) / 1e6;
            while (IsAnimating(index) && EngineTimer->isActive())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            const double missed = std::max(0.0, std::floor(ms / luxEngineInterval) - ticks);
            if (missed >= worstMissed) {
                worstMissed = missed;
                frames = ticks;
            }
            worstMs = std::max(worstMs, ms);
            worstSetup = std::max(worstSetup, setup);
        }
    }
    ShutDownAnimationEngine();
    state.counters["missed_worst"] = worstMissed;
    state.counters["frames"] = frames;
    state.counters["ms_worst"] = worstMs;
    state.counters["setup_ms_worst"] = worstSetup;
    const int s = sizeIndex(width);
    figures().missedTicks[s][effect] = worstMissed;
    figures().transitionMs[s][effect] = worstMs;
}

void registerAll()
{
    benchmark::RegisterBenchmark("BM_MemcpyFrame", BM_MemcpyFrame)->Unit(benchmark::kMillisecond)->Iterations(1);
    for (const char* effect : {"Fade", "CircleFadeOut", "SlideDown", "[ BITMAP ] - Bitmap Animation"})
        benchmark::RegisterBenchmark((std::string("BM_FadeComposition/") + effect).c_str(), BM_FadeComposition,
                                     effect)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    benchmark::RegisterBenchmark("BM_FadeCompositionSeparatePasses/Fade", BM_FadeCompositionSeparatePasses, "Fade")
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("BM_FrameSteps", BM_FrameSteps)
        ->Args({1920, 1080})
        ->Args({3840, 2160})
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    for (const BuiltinEffect& e : builtinEffects())
        benchmark::RegisterBenchmark((std::string("BM_Progression/") + e.Name).c_str(), BM_Progression, e.Name)
            ->ArgNames({"", "", "paced"})
            ->Args({1920, 1080, 0})
            ->Args({1920, 1080, 1})
            ->Args({3840, 2160, 0})
            ->Args({3840, 2160, 1})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    for (const BuiltinEffect& e : builtinEffects())
        benchmark::RegisterBenchmark((std::string("BM_Transition400ms/") + e.Name).c_str(), BM_Transition400ms,
                                     std::string(e.Name))
            ->ArgNames({"", "", "rank"})
            ->Args({1920, 1080, -1})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    auto* costliest = benchmark::RegisterBenchmark("BM_Transition400ms/costliest", BM_Transition400ms, std::string())
                          ->ArgNames({"", "", "rank"})
                          ->Unit(benchmark::kMillisecond)
                          ->Iterations(1);
    for (int rank = 0; rank < kCostliestAt4K; ++rank)
        costliest->Args({3840, 2160, rank});
}

// The largest value of a map and its key.
std::pair<std::string, double> largest(const std::map<std::string, double>& m)
{
    std::pair<std::string, double> top{"-", 0};
    for (const auto& [k, v] : m)
        if (v > top.second || top.first == "-")
            top = {k, v};
    return top;
}

void summarize()
{
    luxbench::Summary& out = luxbench::summary();
    const Figures& f = figures();
    for (int s = 0; s < 2; ++s) {
        const char* size = s ? "4K" : "1080p";
        if (!f.frameStep[s].empty()) {
            std::vector<double> medians;
            std::string worst;
            Spread worstSpread;
            int over4 = 0;
            for (const auto& [effect, x] : f.frameStep[s]) {
                medians.push_back(x.median);
                over4 += x.median > 4;
                if (x.median > worstSpread.median) {
                    worstSpread = x;
                    worst = effect;
                }
            }
            const Spread all = luxbench::spreadOf(medians);
            out.add("goal 4 frame step %-5s: median over %zu effects %.2fx memcpy (goal <= 3), %d over 4x; slowest "
                    "%s %.2fx (%.2f-%.2f)",
                    size, medians.size(), all.median, over4, worst.c_str(), worstSpread.median, worstSpread.min,
                    worstSpread.max);
        }
        for (int paced = 0; paced < 2; ++paced) {
            if (f.worstFrame[s][paced].empty())
                continue;
            const double limit = s ? 40 : 20;
            int over = 0;
            for (const auto& [effect, ms] : f.worstFrame[s][paced])
                over += ms > limit;
            const auto [effect, ms] = largest(f.worstFrame[s][paced]);
            out.add("goal 2 worst frame %-5s %s: %.1f ms (%s), %d effects over %.0f ms (goal: none)", size,
                    paced ? "at 20 ms pace" : "back to back ", ms, effect.c_str(), over, limit);
        }
        if (!f.missedTicks[s].empty()) {
            int missing = 0;
            std::string which;
            for (const auto& [effect, missed] : f.missedTicks[s])
                if (missed > 0) {
                    ++missing;
                    which += " " + effect + "=" + std::to_string(int(missed));
                }
            const auto [longest, ms] = largest(f.transitionMs[s]);
            out.add("goal 3 missed ticks %-5s: %d of %zu transitions missed ticks (goal: 0); longest %s %.0f ms", size,
                    missing, f.missedTicks[s].size(), longest.c_str(), ms);
            if (!which.empty())
                out.add("  missed:%s", which.c_str());
        }
    }
    for (int s = 0; s < 2; ++s)
        for (const auto& [effect, x] : f.frameStep[s])
            if (x.median > 4)
                out.add("  frame step over 4x %-5s: %-32s %.2fx (%.2f-%.2f)", s ? "4K" : "1080p", effect.c_str(),
                        x.median, x.min, x.max);
}

} // namespace

int main(int argc, char** argv)
{
    return luxbench::runEffectsBenchmarks(argc, argv, registerAll, summarize, "bench_compose");
}
