// Drawing between bitmaps and into device-bitmap memory: sampling rules,
// clipping, drawing onto itself, and the three modes, checked against a
// pixel-by-pixel model of the rules.

#include "effects/bitmap/luxbitmap.h"
#include "effects/bitmap/rowprimitives.h"
#include "effects/util/rowbands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

enum class Mode { Opaque, Transparent, AlphaBlend };

void setMode(TluxBitmap& b, Mode m)
{
    b.AlphaBlend = m == Mode::AlphaBlend;
    b.Transparent = m == Mode::Transparent;
}

// Pixels telling their position, with holes and partial alphas sprinkled in.
void fillSource(TluxBitmap& b, uint32_t seed)
{
    std::mt19937 rng(seed);
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) {
            TluxColor v = (uint32_t(y) << 16) | (uint32_t(x) << 4) | (seed & 0xF);
            switch (rng() % 4) {
            case 0: v |= 0xFF000000; break;
            case 1: v = (rng() & 0xFF000000) | luxTransparent; break;
            default: v |= rng() & 0xFF000000; break;
            }
            b.SetPixel(x, y, v);
        }
}

std::vector<TluxColor> pixels(const TluxBitmap& b)
{
    return std::vector<TluxColor>(b.Bits, b.Bits + b.Width * b.Height);
}

// Source index for destination index k along one axis, straight from the rule.
int sampleIndex(int k, int srcStart, int srcEnd, int dstSize, bool halfEven)
{
    if (dstSize < 2)
        return (srcStart + srcEnd - 1) / 2;
    const float factor = float(srcEnd - srcStart - 1) / float(dstSize - 1);
    const double v = double(k) * double(factor) + srcStart;
    return int(halfEven ? std::nearbyint(v) : std::trunc(v));
}

TluxColor applyMode(Mode m, TluxColor s, TluxColor t)
{
    switch (m) {
    case Mode::Opaque: return s;
    case Mode::Transparent: return (s & 0xFFFFFF) == 0x7F007F ? t : s | 0xFF000000;
    case Mode::AlphaBlend: {
        TluxColor out = t;
        LineAlphaBlendFunc(&s, &out, 1);
        return out;
    }
    }
    return s;
}

// The target as Draw should leave it: `before` is the target's pixels,
// `src` the source's (taken before drawing, so drawing onto itself is covered).
std::vector<TluxColor> model(std::vector<TluxColor> before, int tw, int th, const TRect& d, const TRect& sr,
                             const std::vector<TluxColor>& src, int sw, int sh, Mode m, bool halfEven)
{
    if (sr.Left < 0 || sr.Top < 0 || sr.Right > sw || sr.Bottom > sh || sr.Width() <= 0 || sr.Height() <= 0)
        return before;
    const bool same = d.Width() == sr.Width() && d.Height() == sr.Height();
    std::vector<TluxColor> out = before;
    for (int y = std::max(d.Top, 0); y < std::min(d.Bottom, th); ++y)
        for (int x = std::max(d.Left, 0); x < std::min(d.Right, tw); ++x) {
            const int sx = same ? sr.Left + x - d.Left : sampleIndex(x - d.Left, sr.Left, sr.Right, d.Width(), halfEven);
            const int sy = same ? sr.Top + y - d.Top : sampleIndex(y - d.Top, sr.Top, sr.Bottom, d.Height(), halfEven);
            out[size_t(y * tw + x)] = applyMode(m, src[size_t(sy * sw + sx)], before[size_t(y * tw + x)]);
        }
    return out;
}

// Rows of a sampled line: the source column each destination pixel came from.
std::vector<int> sampledColumns(const TluxColor* row, int n)
{
    std::vector<int> cols;
    for (int i = 0; i < n; ++i)
        cols.push_back(int(row[i] & 0xFF));
    return cols;
}

} // namespace

TEST(Stretch, SamplingRoundsIntoDeviceMemoryAndTruncatesIntoBitmaps)
{
    TluxBitmap src;
    src.SetSize(6, 1);
    for (int x = 0; x < 6; ++x)
        src.SetPixel(x, 0, 0xFF000000u | uint32_t(x));

    TluxBitmap target;
    target.SetSize(4, 1);
    src.Draw(&target, TRect(0, 0, 4, 1), TRect(0, 0, 2, 1));
    EXPECT_EQ(sampledColumns(target.Bits, 4), (std::vector<int>{0, 0, 0, 1}));

    TluxColor dib[4] = {};
    StretchToDibOpaqueFunc(dib, TRect(0, 0, 4, 1), TRect(0, 0, 4, 1), 4, 1, &src, TRect(0, 0, 2, 1));
    EXPECT_EQ(sampledColumns(dib, 4), (std::vector<int>{0, 0, 1, 1}));

    // Shrinking 5 columns to 3 takes 0, 2, 4 both ways.
    target.SetSize(3, 1);
    src.Draw(&target, TRect(0, 0, 3, 1), TRect(0, 0, 5, 1));
    EXPECT_EQ(sampledColumns(target.Bits, 3), (std::vector<int>{0, 2, 4}));
    StretchToDibOpaqueFunc(dib, TRect(0, 0, 3, 1), TRect(0, 0, 3, 1), 3, 1, &src, TRect(0, 0, 5, 1));
    EXPECT_EQ(sampledColumns(dib, 3), (std::vector<int>{0, 2, 4}));

    // A 1-wide destination takes the middle column (Left + Right - 1) / 2.
    target.SetSize(1, 1);
    src.Draw(&target, TRect(0, 0, 1, 1), TRect(1, 0, 6, 1));
    EXPECT_EQ(sampledColumns(target.Bits, 1), (std::vector<int>{3}));
    src.Draw(&target, TRect(0, 0, 1, 1), TRect(2, 0, 6, 1));
    EXPECT_EQ(sampledColumns(target.Bits, 1), (std::vector<int>{3}));
}

TEST(Stretch, DeviceMemoryIsAddressedBottomUpForAPositiveHeight)
{
    TluxBitmap src;
    src.SetSize(2, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            src.SetPixel(x, y, 0xFF000000u | uint32_t(y * 16 + x));
    for (Mode m : {Mode::Opaque, Mode::Transparent, Mode::AlphaBlend}) {
        setMode(src, m);
        const StretchToDibProc f = m == Mode::Opaque        ? StretchToDibOpaqueFunc
                                   : m == Mode::Transparent ? StretchToDibTransparentFunc
                                                            : StretchToDibAlphaBlendFunc;
        // Equal sizes (block copy) and a vertical stretch (sampling), both orientations.
        for (int dh : {3, 6}) {
            std::vector<TluxColor> up(size_t(2 * dh)), down(size_t(2 * dh));
            f(up.data(), TRect(0, 0, 2, dh), TRect(0, 0, 2, dh), 2, dh, &src, TRect(0, 0, 2, 3));
            f(down.data(), TRect(0, 0, 2, dh), TRect(0, 0, 2, dh), 2, -dh, &src, TRect(0, 0, 2, 3));
            for (int y = 0; y < dh; ++y) {
                const int sy = dh == 3 ? y : sampleIndex(y, 0, 3, dh, true);
                EXPECT_EQ(up[size_t((dh - 1 - y) * 2 + 1)], src.GetPixel(1, sy)) << "row " << y;
                EXPECT_EQ(down[size_t(y * 2 + 1)], src.GetPixel(1, sy)) << "row " << y;
            }
        }
    }
}

TEST(Stretch, RandomRectanglesPartlyOutsideMatchTheModel)
{
    // Odd sizes; destinations and sources cut at every edge; every mode; into
    // bitmaps (truncation) and top-down device memory (rounding).
    TluxBitmap src, target;
    src.SetSize(47, 33);
    target.SetSize(31, 29);
    std::mt19937 rng(20261207);
    const auto coord = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    int checked = 0;
    for (int round = 0; round < 600; ++round) {
        fillSource(src, uint32_t(round));
        fillSource(target, uint32_t(round) + 999);
        const Mode m = Mode(round % 3);
        setMode(src, m);
        // Sources mostly inside (a few reach out by one pixel and must draw nothing).
        const int sl = coord(-1, 27), st = coord(-1, 17), w = coord(1, 20), h = coord(1, 16);
        const TRect s(sl, st, sl + w, st + h);
        const int x = coord(-15, 28), y = coord(-15, 26);
        const TRect d = round % 2 ? TRect(x, y, x + w, y + h) // equal sizes: block copy
                        : round % 4 == 0 ? TRect(x, y, x + coord(1, 12), y + coord(1, 12))
                                         : TRect(x, y, x + coord(1, 50), y + coord(1, 50));
        const auto before = pixels(target);
        const auto expect = model(before, 31, 29, d, s, pixels(src), 47, 33, m, false);
        src.Draw(&target, d, s);
        ASSERT_EQ(pixels(target), expect) << "round " << round;

        std::vector<TluxColor> dib = before;
        const auto expectDib = model(before, 31, 29, d, s, pixels(src), 47, 33, m, true);
        const StretchToDibProc f = m == Mode::Opaque        ? StretchToDibOpaqueFunc
                                   : m == Mode::Transparent ? StretchToDibTransparentFunc
                                                            : StretchToDibAlphaBlendFunc;
        f(dib.data(), d, d, 31, -29, &src, s);
        ASSERT_EQ(dib, expectDib) << "round " << round;
        checked += expect != before;
    }
    EXPECT_GT(checked, 300); // most rounds really drew something
}

TEST(Stretch, LargeStretchesInRowBandsMatchTheModel)
{
    // Frame-sized stretches run in bands on the pool: the bytes stay those of the model, into
    // bitmaps and bottom-up device memory, with rows repeated at a band's edge.
    struct Case {
        Mode mode;
        int tw, th, sw, sh;
    };
    const Case cases[] = {{Mode::Opaque, 1280, 720, 853, 480},
                          {Mode::Opaque, 301, 203, 211, 149},
                          {Mode::Transparent, 301, 203, 211, 149},
                          {Mode::AlphaBlend, 203, 301, 149, 211}};
    startRowBands(3);
    for (const Case& c : cases) {
        TluxBitmap src, target;
        src.SetSize(c.sw, c.sh);
        target.SetSize(c.tw, c.th);
        fillSource(src, 5);
        fillSource(target, 6);
        setMode(src, c.mode);
        const TRect d(0, 0, c.tw, c.th), s = src.BoundsRect();
        const auto before = pixels(target);
        std::vector<TluxColor> dib = before;
        src.Draw(&target, d, s);
        EXPECT_EQ(pixels(target), model(before, c.tw, c.th, d, s, pixels(src), c.sw, c.sh, c.mode, false))
            << "bitmap " << c.tw << "x" << c.th << " mode " << int(c.mode);
        const StretchToDibProc f = c.mode == Mode::Opaque        ? StretchToDibOpaqueFunc
                                   : c.mode == Mode::Transparent ? StretchToDibTransparentFunc
                                                                 : StretchToDibAlphaBlendFunc;
        f(dib.data(), d, d, c.tw, c.th, &src, s);
        // Bottom-up: row y of the picture is row th - 1 - y of the memory.
        std::vector<TluxColor> flipped(dib.size());
        for (int y = 0; y < c.th; ++y)
            std::copy_n(dib.begin() + ptrdiff_t(c.th - 1 - y) * c.tw, c.tw, flipped.begin() + ptrdiff_t(y) * c.tw);
        std::vector<TluxColor> flippedBefore(before.size());
        for (int y = 0; y < c.th; ++y)
            std::copy_n(before.begin() + ptrdiff_t(c.th - 1 - y) * c.tw, c.tw,
                        flippedBefore.begin() + ptrdiff_t(y) * c.tw);
        EXPECT_EQ(flipped, model(flippedBefore, c.tw, c.th, d, s, pixels(src), c.sw, c.sh, c.mode, true))
            << "device memory " << c.tw << "x" << c.th << " mode " << int(c.mode);
    }
    stopRowBands();
}

TEST(Stretch, DrawingOntoItselfActsAsIfTheSourceWereCopiedFirst)
{
    const TPoint offsets[] = {{10, 0}, {-10, 0}, {0, 7}, {0, -7}, {3, -2}, {-4, 5}, {1, 0}, {-1, 0}};
    for (Mode m : {Mode::Opaque, Mode::Transparent, Mode::AlphaBlend}) {
        for (TPoint o : offsets) {
            TluxBitmap b;
            b.SetSize(47, 33);
            fillSource(b, uint32_t(o.X * 31 + o.Y));
            setMode(b, m);
            const auto before = pixels(b);
            const auto expect = model(before, 47, 33, TRect(o.X, o.Y, o.X + 47, o.Y + 33), b.BoundsRect(), before, 47,
                                      33, m, false);
            b.Draw(&b, o.X, o.Y);
            ASSERT_EQ(pixels(b), expect) << "mode " << int(m) << " offset " << o.X << "," << o.Y;
        }
        // Stretched onto itself.
        TluxBitmap b;
        b.SetSize(47, 33);
        fillSource(b, 77);
        setMode(b, m);
        const auto before = pixels(b);
        const TRect d(5, 3, 40, 30), s(0, 0, 20, 15);
        const auto expect = model(before, 47, 33, d, s, before, 47, 33, m, false);
        b.Draw(&b, d, s);
        ASSERT_EQ(pixels(b), expect) << "stretched, mode " << int(m);
    }
    // Pushing content right by 10: columns 10 onward hold the former 0 onward.
    TluxBitmap b;
    b.SetSize(30, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 30; ++x)
            b.SetPixel(x, y, 0xFF000000u | uint32_t(x + 100 * y));
    b.Draw(&b, 10, 0);
    for (int x = 10; x < 30; ++x)
        EXPECT_EQ(b.GetPixel(x, 2), 0xFF000000u | uint32_t(x - 10 + 200));
}

TEST(Stretch, SourceReachingOutsideOrEmptyDrawsNothing)
{
    TluxBitmap src, target;
    src.SetSize(8, 8);
    src.Clear(luxRed);
    target.SetSize(8, 8);
    const auto before = pixels(target);
    src.Draw(&target, TRect(0, 0, 8, 8), TRect(-1, 0, 7, 8));
    src.Draw(&target, TRect(0, 0, 4, 4), TRect(0, 0, 9, 8));
    src.Draw(&target, TRect(0, 0, 4, 4), TRect(2, 2, 2, 6)); // zero width
    src.Draw(&target, TRect(4, 4, 4, 8)); // empty destination
    src.Draw(&target, 8, 0); // entirely outside
    EXPECT_EQ(pixels(target), before);
    TluxBitmap empty;
    empty.Draw(&target, 0, 0);
    EXPECT_EQ(pixels(target), before);
    src.Draw(&empty, 0, 0); // onto an empty bitmap: nothing, no crash
}

TEST(Stretch, ModeComesFromTheDrawnBitmapAndBlendingWins)
{
    TluxBitmap src, target;
    src.SetSize(2, 1);
    src.SetPixel(0, 0, 0x80FF0000);
    src.SetPixel(1, 0, luxTransparent);
    target.SetSize(2, 1);
    target.Clear(0xFF0000FF);
    target.AlphaBlend = true; // the target's flags do not matter
    src.AlphaBlend = src.Transparent = true;
    src.Draw(&target, 0, 0);
    EXPECT_EQ(target.GetPixel(0, 0), PixelAlphaBlendFunc(0x80FF0000, 0xFF0000FF));
    EXPECT_EQ(target.GetPixel(1, 0), 0xFF0000FFu); // alpha 0: background kept
    src.AlphaBlend = false;
    target.Clear(0xFF0000FF);
    src.Draw(&target, 0, 0);
    EXPECT_EQ(target.GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(target.GetPixel(1, 0), 0xFF0000FFu);
}
