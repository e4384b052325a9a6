// Frame composition on 1920 x 1080 pictures and the engine's frame step of every built-in effect
// at 1920 x 1080 and 3840 x 2160, as ratios to memcpy of one frame ("x_memcpy"), and whole 400 ms
// transitions in a running event loop at both sizes, counting the frames drawn against the
// engine ticks due in the time they took.

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

#include "platform/canvas.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * sizeof(TluxColor);

void fillNoise(TluxBitmap& b, uint32_t seed, int width = kWidth, int height = kHeight)
{
    b.SetSize(width, height);
    std::mt19937 rng(seed);
    for (int i = 0; i < width * height; ++i)
        b.Bits[i] = rng() | 0xFF000000u;
}

struct Pictures {
    TluxBitmap source, dest;
    TluxAnimationRec settings;
    TluxAnimationSlot slot;

    explicit Pictures(const char* effect, int width = kWidth, int height = kHeight)
    {
        fillNoise(source, 1, width, height);
        fillNoise(dest, 2, width, height);
        settings.Effect = QString::fromLatin1(effect);
        prepareAnimationSlot(slot, &source, &dest, &settings);
    }
};

// Runs `body` once per iteration and reports the best iteration against memcpy of a frame.
template <typename Body>
void timeFrames(benchmark::State& state, Body body)
{
    luxbench::timeBest(state, kFrameBytes, body);
}

// The yardstick: memcpy of one frame, timed as the others are.
void BM_MemcpyFrame(benchmark::State& state)
{
    std::vector<TluxColor> from(size_t(kWidth) * kHeight, 1), to(size_t(kWidth) * kHeight, 2);
    timeFrames(state, [&] { std::memcpy(to.data(), from.data(), kFrameBytes); });
}

// The fade-kind composition of one frame: Source copied onto the work image, the mask stamped
// and Dest blended over it, in one pass. "Fade" blends every pixel; the others mix old, new and
// blended areas at P = 50.
void BM_FadeComposition(benchmark::State& state, const char* effect)
{
    Pictures p(effect);
    timeFrames(state, [&] { composeFrame(p.slot, 50); });
}

// The same frame through the separate passes (copy, alpha stretch, clear alpha, blend).
void BM_FadeCompositionSeparatePasses(benchmark::State& state, const char* effect)
{
    Pictures p(effect);
    timeFrames(state, [&] {
        copySourceToWork(p.slot);
        Compose(p.slot, 50);
    });
}

// The whole frame step at P = 50, with the row bands the engine starts: copy, compose and draw
// the frame onto a canvas over a screen image. Registered for every built-in effect at 1920 x
// 1080 and 3840 x 2160 (main).
void BM_FrameStep(benchmark::State& state, const char* effect)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    Pictures p(effect, width, height);
    QImage screen(width, height, QImage::Format_ARGB32);
    screen.fill(0);
    DeviceContext dc(&screen);
    TCanvas canvas(&dc);
    startRowBands();
    luxbench::timeBest(state, size_t(width) * size_t(height) * sizeof(TluxColor), [&] {
        composeFrame(p.slot, 50);
        p.slot.work->Draw(&canvas, 0, 0);
    });
    stopRowBands();
}

// The frames of a transition as the engine meets them, one every 20 ms after the set-up, with
// the progress rising from 5 to 100: the first frame, the frame that reaches P = 100 and the
// costliest, against the median frame. The caches that a family fills as the progress grows
// (the pixel family's order, which the set-up starts drawing on a thread of its own, and the
// shape and circle records) start empty in each run.
void BM_ProgressionFrames(benchmark::State& state, const char* effect)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    Pictures p(effect, width, height);
    std::vector<double> ms;
    for (auto _ : state) {
        releasePixelOrderCache();
        releaseShapeCovers();
        releaseCircleCover();
        prepareAnimationSlot(p.slot, &p.source, &p.dest, &p.settings);
        ms.clear();
        for (int P = 5; P <= 100; P += 5) {
            std::this_thread::sleep_for(std::chrono::milliseconds(luxEngineInterval));
            const auto t0 = std::chrono::steady_clock::now();
            composeFrame(p.slot, P);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    state.counters["first_ms"] = ms.front();
    state.counters["last_ms"] = ms.back();
    state.counters["worst_ms"] = sorted.back();
    state.counters["median_ms"] = sorted[sorted.size() / 2];
}

void registerFrameSteps()
{
    for (const char* effect : {"Pixel", "Pixel fade", "Pixel line", "RotateSmooth", "CircleSmooth", "DiamondSlideOut"})
        benchmark::RegisterBenchmark((std::string("BM_ProgressionFrames/") + effect).c_str(), BM_ProgressionFrames,
                                     effect)
            ->Args({1920, 1080})
            ->Args({3840, 2160})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    for (const BuiltinEffect& e : builtinEffects())
        benchmark::RegisterBenchmark((std::string("BM_FrameStep/") + e.Name).c_str(), BM_FrameStep, e.Name)
            ->Args({1920, 1080})
            ->Args({3840, 2160})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(8);
}

// A real 400 ms transition, played as ExecuteAnimation plays it, in the event loop: the frames
// drawn (one per engine tick while it runs) against the ticks due while the engine's timer ran
// (one per 20 ms), and the set-up before the timer starts (the slot's pictures and mask laid
// out) on its own. Fewer frames than ticks means ticks passed without a frame.
void BM_Transition400ms(benchmark::State& state, const char* effect)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    Pictures p(effect, width, height);
    QImage screen(width, height, QImage::Format_ARGB32);
    screen.fill(0);
    DeviceContext dc(&screen);
    TCanvas canvas(&dc);
    StartAnimationEngine();
    int ticks = 0;
    QObject::connect(EngineTimer, &QTimer::timeout, [&] { ++ticks; });
    double frames = 0, ms = 0, setupMs = 0, worstMissing = 0;
    for (auto _ : state) {
        ticks = 0;
        QElapsedTimer clock;
        clock.start();
        const int index = StartMultiAnimation(&canvas, 0, 0, &p.source, &p.dest, &p.settings, -1);
        const double setup = double(clock.nsecsElapsed()) / 1e6;
        while (IsAnimating(index) && EngineTimer->isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double running = double(clock.nsecsElapsed()) / 1e6 - setup;
        setupMs += setup;
        ms += running;
        frames += ticks; // each tick drew one frame while the animation ran
        worstMissing = std::max(worstMissing, std::floor(running / luxEngineInterval) - ticks);
    }
    const double n = double(state.iterations());
    state.counters["frames"] = frames / n;
    state.counters["ticks_due"] = ms / n / luxEngineInterval;
    state.counters["ms"] = ms / n;
    state.counters["setup_ms"] = setupMs / n;
    state.counters["missed_ticks_worst"] = std::max(0.0, worstMissing);
    ShutDownAnimationEngine();
}

BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FadeComposition, Fade, "Fade")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FadeComposition, CircleFadeOut, "CircleFadeOut")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FadeComposition, SlideDown, "SlideDown")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FadeComposition, Bitmap, "[ BITMAP ] - Bitmap Animation")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FadeCompositionSeparatePasses, Fade, "Fade")->Unit(benchmark::kMillisecond);

void transitionSizes(benchmark::internal::Benchmark* b)
{
    b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->Iterations(3);
}

// The effects whose frames cost most (see bench/generators), and the plain fade.
BENCHMARK_CAPTURE(BM_Transition400ms, Fade, "Fade")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, CircleFadeOut, "CircleFadeOut")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, CircleSlide, "CircleSlide")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, CircleSmooth, "CircleSmooth")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, RotateSmooth, "RotateSmooth")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, DiamondSlideOut, "DiamondSlideOut")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, Pixel, "Pixel")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, Interlace, "Interlace")->Apply(transitionSizes);
BENCHMARK_CAPTURE(BM_Transition400ms, Push, "Push")->Apply(transitionSizes);

} // namespace

int main(int argc, char** argv)
{
    return luxbench::runEffectsBenchmarks(argc, argv, registerFrameSteps);
}
