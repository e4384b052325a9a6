// Our composition and scaling against pixman doing the same work in the same run, at 1920 x 1080
// and 3840 x 2160. Each benchmark times ours as the engine runs it (the row-band pool started),
// ours on one thread, and pixman (one thread), interleaved, the best iteration of each:
//   x_memcpy        ours / memcpy of one frame
//   x_pixman        ours / pixman            x_pixman_1core  ours on one thread / pixman
//   pixman_x_memcpy pixman / memcpy
// The work: a constant-alpha fade of two pictures (our "Fade" at P = 50, pixman OVER through a
// solid 50 % mask), a fade through an 8-bit mask (our "CircleFadeOut" composition at P = 50 with
// its mask built, pixman OVER through the same mask), and nearest-neighbour scaling 1:1 and from
// two thirds of the size (1280 x 720 -> 1920 x 1080, 2560 x 1440 -> 3840 x 2160).

#include "bench/common/effectsmain.h"
#include "bench/common/memcpyref.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/framecomposer.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/util/rowbands.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstring>
#include <random>

namespace {

void fillNoise(TluxBitmap& b, int w, int h, uint32_t seed)
{
    b.SetSize(w, h);
    std::mt19937 rng(seed);
    for (int i = 0; i < w * h; ++i)
        b.Bits[i] = rng() | 0xFF000000u;
}

// A pixman picture over a TluxBitmap's memory (same byte order: B, G, R, A).
pixman_image_t* wrap(TluxBitmap& b)
{
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, b.Width, b.Height, reinterpret_cast<uint32_t*>(b.Bits),
                                    b.Width * 4);
}

template <typename Body>
double secondsOf(Body body)
{
    const auto t0 = std::chrono::steady_clock::now();
    body();
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

template <typename Ours, typename Peer>
void compare(benchmark::State& state, size_t frameBytes, Ours ours, Peer peer)
{
    double pooled = 1e30, single = 1e30, pix = 1e30;
    for (auto _ : state) {
        startRowBands();
        pooled = std::min(pooled, secondsOf(ours));
        stopRowBands();
        single = std::min(single, secondsOf(ours));
        pix = std::min(pix, secondsOf(peer));
    }
    startRowBands();
    const double copy = luxbench::memcpySeconds(frameBytes);
    state.counters["ours_ms"] = pooled * 1e3;
    state.counters["pixman_ms"] = pix * 1e3;
    state.counters["x_memcpy"] = pooled / copy;
    state.counters["pixman_x_memcpy"] = pix / copy;
    state.counters["x_pixman"] = pooled / pix;
    state.counters["x_pixman_1core"] = single / pix;
}

struct Fade {
    TluxBitmap source, dest;
    TluxAnimationRec settings;
    TluxAnimationSlot slot;
    pixman_image_t* work = nullptr;
    pixman_image_t* in = nullptr;
    pixman_image_t* mask = nullptr;

    Fade(const char* effect, int w, int h, bool maskImage)
    {
        fillNoise(source, w, h, 1);
        fillNoise(dest, w, h, 2);
        settings.Effect = QString::fromLatin1(effect);
        prepareAnimationSlot(slot, &source, &dest, &settings);
        luxcompose::buildFadeMask(slot, 50);
        work = wrap(*slot.work);
        in = wrap(dest);
        if (maskImage) {
            // Our mask has a cell more per row and column; pixman's rows are padded to 4 bytes.
            mask = pixman_image_create_bits(PIXMAN_a8, w, h, nullptr, 0);
            auto* bits = reinterpret_cast<uint8_t*>(pixman_image_get_data(mask));
            const int stride = pixman_image_get_stride(mask);
            for (int y = 0; y < h; ++y)
                std::memcpy(bits + size_t(y) * size_t(stride), slot.mask.get() + size_t(y) * size_t(slot.columns),
                            size_t(w));
        } else {
            const pixman_color_t half{0x8080, 0x8080, 0x8080, 0x8080};
            mask = pixman_image_create_solid_fill(&half);
        }
    }
    ~Fade()
    {
        pixman_image_unref(mask);
        pixman_image_unref(in);
        pixman_image_unref(work);
        releaseAnimationSlot(slot);
    }
    void peer() const
    {
        pixman_image_composite32(PIXMAN_OP_OVER, in, mask, work, 0, 0, 0, 0, 0, 0, source.Width, source.Height);
    }
};

void BM_ConstantFade(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    Fade f("Fade", w, h, false);
    compare(state, size_t(w) * h * 4, [&] { composeFrame(f.slot, 50); }, [&] { f.peer(); });
}

void BM_MaskedFade(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    Fade f("CircleFadeOut", w, h, true);
    compare(state, size_t(w) * h * 4, [&] { luxcompose::onePassFade(f.slot, true); }, [&] { f.peer(); });
}

// Nearest-neighbour scaling of a picture of (w, h) * num / den onto (w, h), opaque.
void scale(benchmark::State& state, int num, int den)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    TluxBitmap from, to, peerTo;
    fillNoise(from, w * num / den, h * num / den, 3);
    to.SetSize(w, h);
    peerTo.SetSize(w, h);
    pixman_image_t* src = wrap(from);
    pixman_image_t* dst = wrap(peerTo);
    if (num != den) {
        pixman_transform_t t;
        pixman_transform_init_scale(&t, pixman_int_to_fixed(num) / den, pixman_int_to_fixed(num) / den);
        pixman_image_set_transform(src, &t);
        pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
    compare(
        state, size_t(w) * h * 4, [&] { from.Draw(&to, to.BoundsRect()); },
        [&] { pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, w, h); });
    pixman_image_unref(dst);
    pixman_image_unref(src);
}

void BM_NearestScale1to1(benchmark::State& state)
{
    scale(state, 1, 1);
}

void BM_NearestScaleUpTwoThirds(benchmark::State& state)
{
    scale(state, 2, 3);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->Iterations(20);
}

BENCHMARK(BM_ConstantFade)->Apply(sizes);
BENCHMARK(BM_MaskedFade)->Apply(sizes);
BENCHMARK(BM_NearestScale1to1)->Apply(sizes);
BENCHMARK(BM_NearestScaleUpTwoThirds)->Apply(sizes);

} // namespace

int main(int argc, char** argv)
{
    return luxbench::runEffectsBenchmarks(argc, argv);
}
