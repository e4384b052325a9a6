// Our composition and scaling against pixman doing the same work in the same run, at 1920 x 1080
// and 3840 x 2160. Each benchmark times ours as the engine runs it (the row-band pool started),
// ours on one thread, pixman (one thread: it has no threads of its own) and memcpy, interleaved in
// each repetition; each figure is the median over the repetitions (the ratios to pixman with
// their min-max):
//   x_memcpy        ours / memcpy of one frame
//   x_pixman        ours / pixman            x_pixman_1core  ours on one thread / pixman
//   pixman_x_memcpy pixman / memcpy
// What each side does, and the bytes it moves for a frame of N bytes:
//   constant fade   ours: our "Fade" at P = 50 (composeFrame), which reads Source and Dest and
//                   writes the work image: 3 N (at 4K the writes bypass the cache, so the work
//                   image's lines are not read first; at 1080p they are, 4 N). pixman: OVER of
//                   Dest through a solid 50 % mask onto the same work image in place, which reads
//                   Dest and the work image and writes the work image back: 3 N.
//   masked fade     ours: the one-pass composition of "CircleFadeOut" at P = 50 with its mask
//                   built: Source, Dest and the 8-bit mask read, the work image written, 3.25 N
//                   (4.25 N at 1080p as above). pixman: OVER of Dest through the same mask, as an
//                   a8 picture, onto the work image in place: Dest, mask and work image read,
//                   the work image written, 3.25 N.
//   nearest 1:1     ours: Draw of one picture onto another of the same size, a row copy: 2 N at
//                   4K (writes past the cache), 3 N at 1080p. pixman: SRC composite of the same
//                   picture onto a target of its own, no transform (its block copy through the
//                   cache): 3 N.
//   nearest 2/3 -> 1 ours: Draw of a picture of two thirds the size onto the whole target
//                   (1280 x 720 -> 1920 x 1080, 2560 x 1440 -> 3840 x 2160), nearest neighbour.
//                   pixman: SRC composite through a scaling transform with the nearest filter.
//                   Both read the small picture (0.44 N) and write the target through the cache
//                   (2.44 N); ours and pixman write targets of their own.
// In the fades ours overwrites the whole work image each frame, so pixman's blending onto it
// does not change what ours does.

#include "bench/common/effectsmain.h"
#include "bench/common/memcpyref.h"
#include "bench/common/summary.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/framecomposer.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/util/rowbands.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using luxbench::Spread;

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

// Which of the four kinds a figure is, and its size, for the summary.
struct PeerFigure {
    std::string kind;
    int width = 0;
    Spread pooled, single; // ours / pixman
};

std::vector<PeerFigure>& peerFigures()
{
    static std::vector<PeerFigure> f;
    return f;
}

// kRepetitions repetitions, each timing a batch of ours with the pool, ours on one thread,
// pixman and memcpy, so that the ratios of a repetition share the machine's load. The order of
// the four turns by one each repetition: every contender follows every other as often, and meets
// the caches as the one before leaves them as often. Each batch starts with an untimed run, so
// that what is timed is the work repeated frame after frame, its pictures as warm as it leaves
// them (the pool's threads started, ours' rows and pixman's scanline buffers touched).
template <typename Ours, typename Peer>
void compare(benchmark::State& state, const char* kind, size_t frameBytes, Ours ours, Peer peer)
{
    luxbench::MemcpyReference reference(frameBytes);
    std::vector<double> pooled, single, pix, xMemcpy, pixXMemcpy;
    for (auto _ : state) {
        for (int r = 0; r < luxbench::kRepetitions; ++r) {
            double withPool = 0, oneThread = 0, theirs = 0, copy = 0;
            for (int turn = 0; turn < 4; ++turn) {
                switch ((r + turn) % 4) {
                case 0:
                    startRowBands();
                    withPool = luxbench::batchSeconds(ours);
                    break;
                case 1:
                    stopRowBands();
                    oneThread = luxbench::batchSeconds(ours);
                    break;
                case 2: theirs = luxbench::batchSeconds(peer); break;
                default: copy = reference.seconds(); break;
                }
            }
            pooled.push_back(withPool / theirs);
            single.push_back(oneThread / theirs);
            pix.push_back(theirs * 1e3);
            xMemcpy.push_back(withPool / copy);
            pixXMemcpy.push_back(theirs / copy);
        }
    }
    startRowBands();
    const Spread p = luxbench::spreadOf(pooled), s = luxbench::spreadOf(single);
    state.counters["pixman_ms"] = luxbench::spreadOf(pix).median;
    state.counters["x_memcpy"] = luxbench::spreadOf(xMemcpy).median;
    state.counters["pixman_x_memcpy"] = luxbench::spreadOf(pixXMemcpy).median;
    state.counters["x_pixman"] = p.median;
    state.counters["x_pixman_min"] = p.min;
    state.counters["x_pixman_max"] = p.max;
    state.counters["x_pixman_1core"] = s.median;
    state.counters["x_pixman_1core_min"] = s.min;
    state.counters["x_pixman_1core_max"] = s.max;
    peerFigures().push_back({kind, int(state.range(0)), p, s});
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
    compare(state, "constant fade", size_t(w) * h * 4, [&] { composeFrame(f.slot, 50); }, [&] { f.peer(); });
}

void BM_MaskedFade(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    Fade f("CircleFadeOut", w, h, true);
    compare(state, "masked fade", size_t(w) * h * 4, [&] { luxcompose::onePassFade(f.slot, true); }, [&] { f.peer(); });
}

// Nearest-neighbour scaling of a picture of (w, h) * num / den onto (w, h), opaque.
void scale(benchmark::State& state, const char* kind, int num, int den)
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
        state, kind, size_t(w) * h * 4, [&] { from.Draw(&to, to.BoundsRect()); },
        [&] { pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, w, h); });
    pixman_image_unref(dst);
    pixman_image_unref(src);
}

void BM_NearestScale1to1(benchmark::State& state)
{
    scale(state, "nearest 1:1", 1, 1);
}

void BM_NearestScaleUpTwoThirds(benchmark::State& state)
{
    scale(state, "nearest 2/3 -> 1", 2, 3);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->Iterations(1);
}

BENCHMARK(BM_ConstantFade)->Apply(sizes);
BENCHMARK(BM_MaskedFade)->Apply(sizes);
BENCHMARK(BM_NearestScale1to1)->Apply(sizes);
BENCHMARK(BM_NearestScaleUpTwoThirds)->Apply(sizes);

void summarize()
{
    int over = 0, overPooled = 0;
    for (const PeerFigure& f : peerFigures()) {
        over += f.single.median > 0.8;
        overPooled += f.pooled.median > 0.5;
        luxbench::summary().add("goal 5 %-17s %-5s: ours/pixman one thread %.2f (%.2f-%.2f, goal <= 0.8), with the "
                                "pool %.2f (%.2f-%.2f, goal <= 0.5)",
                                f.kind.c_str(), f.width > 1920 ? "4K" : "1080p", f.single.median, f.single.min,
                                f.single.max, f.pooled.median, f.pooled.min, f.pooled.max);
    }
    if (!peerFigures().empty())
        luxbench::summary().add("goal 5: %d of %zu over 0.8 on one thread, %d over 0.5 with the pool", over,
                                peerFigures().size(), overPooled);
}

} // namespace

int main(int argc, char** argv)
{
    return luxbench::runEffectsBenchmarks(argc, argv, nullptr, summarize, "bench_peer");
}
