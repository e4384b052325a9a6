// Raster primitives on full-HD frames, each as a ratio to memcpy of the
// 1920 x 1080 x 4 bytes of the target ("x_memcpy").

#include "effects/bitmap/rasterprimitives.h"
#include "effects/bitmap/luxbitmap.h"
#include "bench/common/memcpyref.h"
#include "effects/bitmap/rowprimitives.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * sizeof(TluxColor);

void fillNoise(TluxBitmap& b, uint32_t seed, bool partialAlpha, int holePercent = 0)
{
    std::mt19937 rng(seed);
    for (int i = 0; i < b.Width * b.Height; ++i) {
        TluxColor v = rng();
        if (partialAlpha)
            v = (v & 0x00FFFFFF) | ((1 + rng() % 254) << 24); // never 0 or 255: the formula always runs
        if (holePercent && int(rng() % 100) < holePercent)
            v = luxTransparent;
        b.Bits[i] = v;
    }
}

// Runs `body` once per iteration and reports the best iteration against memcpy of a frame.
template <typename Body>
void timeFrames(benchmark::State& state, Body body)
{
    luxbench::timeBest(state, kFrameBytes, body);
}

void rowBlend(benchmark::State& state, LineProc line)
{
    TluxBitmap fg, bg;
    fg.SetSize(kWidth, kHeight);
    bg.SetSize(kWidth, kHeight);
    fillNoise(fg, 1, true);
    fillNoise(bg, 2, false);
    timeFrames(state, [&] {
        for (int y = 0; y < kHeight; ++y)
            line(fg.GetScanLine(y), bg.GetScanLine(y), kWidth);
    });
}

void BM_RowBlendPackedAvx2(benchmark::State& s)
{
    if (bestSimdLevel() != SimdLevel::Avx2)
        return s.SkipWithError("no AVX2");
    rowBlend(s, luxraster::avx2::lineBlendPacked);
}
void BM_RowBlendPackedSse2(benchmark::State& s) { rowBlend(s, luxraster::sse2::lineBlendPacked); }
void BM_RowBlendPackedScalar(benchmark::State& s) { rowBlend(s, luxraster::lineBlendPacked); }
void BM_RowBlendPlainAvx2(benchmark::State& s)
{
    if (bestSimdLevel() != SimdLevel::Avx2)
        return s.SkipWithError("no AVX2");
    rowBlend(s, luxraster::avx2::lineBlendPlain);
}
void BM_RowBlendPlainSse2(benchmark::State& s) { rowBlend(s, luxraster::sse2::lineBlendPlain); }
void BM_RowBlendPlainScalar(benchmark::State& s) { rowBlend(s, luxraster::lineBlendPlain); }

void rowTransparent(benchmark::State& state, LineProc line)
{
    TluxBitmap src, target;
    src.SetSize(kWidth, kHeight);
    target.SetSize(kWidth, kHeight);
    fillNoise(src, 4, false, 10);
    timeFrames(state, [&] {
        for (int y = 0; y < kHeight; ++y)
            line(src.GetScanLine(y), target.GetScanLine(y), kWidth);
    });
}

void BM_RowTransparentAvx2(benchmark::State& s)
{
    if (bestSimdLevel() != SimdLevel::Avx2)
        return s.SkipWithError("no AVX2");
    rowTransparent(s, luxraster::avx2::lineTransparent);
}
void BM_RowTransparentSse2(benchmark::State& s) { rowTransparent(s, luxraster::sse2::lineTransparent); }

void drawFrame(benchmark::State& state, int sw, int sh, bool transparent)
{
    initRasterPrimitives();
    TluxBitmap src, target;
    src.SetSize(sw, sh);
    target.SetSize(kWidth, kHeight);
    fillNoise(src, 3, false, transparent ? 10 : 0);
    src.Transparent = transparent;
    timeFrames(state, [&] { src.Draw(&target, target.BoundsRect()); });
}

void BM_OpaqueCopy(benchmark::State& s) { drawFrame(s, kWidth, kHeight, false); }
void BM_TransparentCopy(benchmark::State& s) { drawFrame(s, kWidth, kHeight, true); }

// A nearest-neighbour stretch at 1:1 (equal sizes) takes the block-copy route.
void BM_StretchNearest1to1(benchmark::State& s) { drawFrame(s, kWidth, kHeight, false); }
void BM_StretchUp1280x720(benchmark::State& s) { drawFrame(s, 1280, 720, false); }
void BM_StretchDown2560x1440(benchmark::State& s) { drawFrame(s, 2560, 1440, false); }

} // namespace

BENCHMARK(BM_RowBlendPackedAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowBlendPackedSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowBlendPackedScalar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowBlendPlainAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowBlendPlainSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowBlendPlainScalar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowTransparentAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowTransparentSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpaqueCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransparentCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchNearest1to1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchUp1280x720)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchDown2560x1440)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
