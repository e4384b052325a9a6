// Raster primitives on full-HD frames, each as a ratio to memcpy of the 1920 x 1080 x 4 bytes of
// the target ("x_memcpy"): the median of the repetitions, with min-max ("x_min", "x_max").

#include "effects/bitmap/rasterprimitives.h"
#include "effects/bitmap/luxbitmap.h"
#include "bench/common/memcpyref.h"
#include "bench/common/summary.h"
#include "effects/bitmap/rowprimitives.h"

#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <string>

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

// The packed blends' figures, for the summary.
std::map<std::string, luxbench::Spread>& blendFigures()
{
    static std::map<std::string, luxbench::Spread> f;
    return f;
}

// The repetitions against memcpy of a frame (a single benchmark iteration).
template <typename Body>
luxbench::Ratio timeFrames(benchmark::State& state, Body body)
{
    return luxbench::timeRepeated(state, kFrameBytes, body);
}

void rowBlend(benchmark::State& state, LineProc line, const char* name)
{
    TluxBitmap fg, bg;
    fg.SetSize(kWidth, kHeight);
    bg.SetSize(kWidth, kHeight);
    fillNoise(fg, 1, true);
    fillNoise(bg, 2, false);
    blendFigures()[name] = timeFrames(state, [&] {
        for (int y = 0; y < kHeight; ++y)
            line(fg.GetScanLine(y), bg.GetScanLine(y), kWidth);
    }).x;
}

void BM_RowBlendPackedAvx2(benchmark::State& s)
{
    if (bestSimdLevel() != SimdLevel::Avx2)
        return s.SkipWithError("no AVX2");
    rowBlend(s, luxraster::avx2::lineBlendPacked, "PackedAvx2");
}
void BM_RowBlendPackedSse2(benchmark::State& s) { rowBlend(s, luxraster::sse2::lineBlendPacked, "PackedSse2"); }
void BM_RowBlendPackedScalar(benchmark::State& s) { rowBlend(s, luxraster::lineBlendPacked, "PackedScalar"); }
void BM_RowBlendPlainAvx2(benchmark::State& s)
{
    if (bestSimdLevel() != SimdLevel::Avx2)
        return s.SkipWithError("no AVX2");
    rowBlend(s, luxraster::avx2::lineBlendPlain, "PlainAvx2");
}
void BM_RowBlendPlainSse2(benchmark::State& s) { rowBlend(s, luxraster::sse2::lineBlendPlain, "PlainSse2"); }
void BM_RowBlendPlainScalar(benchmark::State& s) { rowBlend(s, luxraster::lineBlendPlain, "PlainScalar"); }

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

BENCHMARK(BM_RowBlendPackedAvx2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RowBlendPackedSse2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RowBlendPackedScalar)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RowBlendPlainAvx2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RowBlendPlainSse2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RowBlendPlainScalar)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RowTransparentAvx2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RowTransparentSse2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OpaqueCopy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TransparentCopy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StretchNearest1to1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StretchUp1280x720)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StretchDown2560x1440)->Unit(benchmark::kMillisecond)->Iterations(1);

void summarize()
{
    for (const auto& [name, x] : blendFigures())
        luxbench::summary().add("%s row blend %-12s: %.2fx memcpy (%.2f-%.2f)%s", name == "PackedSse2" ? "goal 6" : "      ",
                                name.c_str(), x.median, x.min, x.max, name == "PackedSse2" ? " (goal <= 2)" : "");
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summarize();
    luxbench::summary().print("bench_raster");
    return 0;
}
