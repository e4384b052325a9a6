#include "effects/bitmap/hslcolor.h"
#include "effects/bitmap/luxbitmap.h"

#include <gtest/gtest.h>

namespace {

constexpr TluxColor Background = 0xFF010203;

// Opaque pixel telling its place: red x, green y, blue seed.
TluxColor placed(int x, int y, int seed = 0x40)
{
    return 0xFF000000u | (uint32_t(x & 0xFF) << 16) | (uint32_t(y & 0xFF) << 8) | uint32_t(seed);
}

void fillPlaced(TluxBitmap& b, int seed = 0x40)
{
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            b.SetPixel(x, y, placed(x, y, seed));
}

// What tiling Src over Dst must leave at (x, y): the source pixel at the same
// offset within its cell, or the background outside Dst and Clip's cells.
TluxColor tiledAt(const TluxBitmap& source, const TRect& dst, const TRect& src, int x, int y)
{
    if (x < dst.Left || x >= dst.Right || y < dst.Top || y >= dst.Bottom)
        return Background;
    return source.GetPixel(int(src.Left + (int64_t(x) - dst.Left) % src.Width()),
                           int(src.Top + (int64_t(y) - dst.Top) % src.Height()));
}

} // namespace

TEST(BitmapTile, CellsCoverDstWithCutCellsShowingTheTopLeftOfSrc)
{
    TluxBitmap source;
    source.SetSize(5, 5);
    fillPlaced(source);
    struct Case {
        TRect dst, src;
    };
    const Case cases[] = {
        {Rect(0, 0, 7, 4), Rect(0, 0, 3, 3)}, // column widths 3, 3, 1; row heights 3, 1
        {Rect(1, 2, 12, 9), Rect(1, 1, 4, 3)},
        {Rect(-4, -2, 5, 6), Rect(2, 0, 5, 5)}, // partly outside the target
        {Rect(2, 2, 4, 4), Rect(0, 0, 5, 5)},   // one cut cell
        // Billions of cells, of which only those over the target are visited.
        {Rect(INT32_MIN, -2'000'000'001, INT32_MAX, 2'000'000'000), Rect(1, 1, 2, 2)},
        {Rect(-2'000'000'000, -1'999'999'999, 2'000'000'000, 1'000'000'000), Rect(1, 2, 4, 5)},
    };
    for (const Case& c : cases) {
        TluxBitmap target;
        target.SetSize(13, 11);
        target.Clear(Background);
        source.Tile(&target, c.dst, c.src);

        // The same through a canvas on a plain picture (the device-context
        // route), whose window origin puts logical (2, 1) at its corner.
        QImage picture(13, 11, QImage::Format_ARGB32);
        picture.fill(Background);
        DeviceContext dc(&picture);
        dc.setWindowOrigin(TPoint(2, 1));
        TCanvas canvas(&dc);
        source.Tile(&canvas, c.dst, c.src);

        for (int y = 0; y < target.Height; ++y)
            for (int x = 0; x < target.Width; ++x) {
                const TluxColor expected = tiledAt(source, c.dst, c.src, x, y);
                ASSERT_EQ(target.GetPixel(x, y), expected) << x << "," << y;
                ASSERT_EQ(reinterpret_cast<const TluxColor*>(picture.constScanLine(y))[x],
                          tiledAt(source, c.dst, c.src, x + 2, y + 1))
                    << x << "," << y;
            }
    }
}

TEST(BitmapTile, ClipPicksWholeCellsAndEmptySourcesDrawNothing)
{
    TluxBitmap source;
    source.SetSize(3, 3);
    fillPlaced(source);
    TluxBitmap target;
    target.SetSize(8, 5);
    const TRect dst = Rect(0, 0, 7, 4), src = Rect(0, 0, 3, 3);

    // Only the cell of column 1, row 0 touches the clip; it is drawn whole.
    target.Clear(Background);
    source.TileClip(&target, dst, src, Rect(4, 0, 5, 1));
    for (int y = 0; y < target.Height; ++y)
        for (int x = 0; x < target.Width; ++x) {
            const bool inCell = x >= 3 && x < 6 && y < 3;
            ASSERT_EQ(target.GetPixel(x, y), inCell ? source.GetPixel(x - 3, y) : Background) << x << "," << y;
        }

    // A clip touching the cut cells of the last column and row.
    target.Clear(Background);
    source.TileClip(&target, dst, src, Rect(6, 3, 20, 20));
    EXPECT_EQ(target.GetPixel(6, 3), source.GetPixel(0, 0));
    EXPECT_EQ(target.GetPixel(5, 3), Background);
    EXPECT_EQ(target.GetPixel(6, 2), Background);

    // An empty clip draws every cell.
    target.Clear(Background);
    source.TileClip(&target, dst, src, Rect(5, 5, 5, 9));
    EXPECT_EQ(target.GetPixel(6, 3), source.GetPixel(0, 0));
    EXPECT_EQ(target.GetPixel(0, 0), source.GetPixel(0, 0));

    // Sources without area (or turned inside out) draw nothing and end.
    target.Clear(Background);
    source.Tile(&target, dst, Rect(1, 1, 1, 3));
    source.Tile(&target, dst, Rect(2, 2, 0, 0));
    for (int y = 0; y < target.Height; ++y)
        for (int x = 0; x < target.Width; ++x)
            ASSERT_EQ(target.GetPixel(x, y), Background);
}

TEST(BitmapMergeDraw, PutsTheSourceUnderPartlyTransparentPixelsWithoutWrapping)
{
    TluxBitmap source;
    source.SetSize(4, 4);
    fillPlaced(source, 0x11);
    const TluxColor targetAlphas[] = {0x00, 0xFF, 0x80, 0x01};

    struct Case {
        int x, y;
        TRect srcRect;
    };
    const Case cases[] = {
        {3, -1, Rect(0, 0, 4, 4)},   // reaches past the right edge and above the top
        {-2, 2, Rect(0, 0, 4, 4)},   // left of the target and below its bottom
        {0, 0, Rect(-2, -1, 3, 3)},  // a negative source origin moves the target point
        {1, 1, Rect(1, 2, 9, 9)},    // a source rectangle larger than the source
        {4, 0, Rect(0, 0, 4, 4)},    // only column 4
    };
    for (const Case& c : cases) {
        TluxBitmap target;
        target.SetSize(5, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                target.SetPixel(x, y, (targetAlphas[(x + y) % 4] << 24) | 0x00A0B0C0u | uint32_t(x));
        TluxBitmap before;
        before.Assign(&target);

        target.MergeDraw(&source, c.x, c.y, c.srcRect);

        // Target-driven model: which source pixel, if any, lies under (tx, ty).
        int x = c.x, y = c.y, left = c.srcRect.Left, top = c.srcRect.Top;
        if (left < 0) { x -= left; left = 0; }
        if (top < 0) { y -= top; top = 0; }
        const int right = std::min(c.srcRect.Right, source.Width), bottom = std::min(c.srcRect.Bottom, source.Height);
        for (int ty = 0; ty < 4; ++ty)
            for (int tx = 0; tx < 5; ++tx) {
                const int sx = tx - x + left, sy = ty - y + top;
                const TluxColor d = before.GetPixel(tx, ty);
                TluxColor expected = d;
                if (sx >= left && sx < right && sy >= top && sy < bottom) {
                    const TluxColor s = source.GetPixel(sx, sy);
                    expected = (d >> 24) == 0 ? s : (d >> 24) == 255 ? d : PixelAlphaBlendFunc(d, s);
                }
                ASSERT_EQ(target.GetPixel(tx, ty), expected) << "case " << c.x << "," << c.y << " at " << tx << "," << ty;
            }
    }
}

TEST(BitmapFlipHorz, ExchangesRowPairsAndKeepsTheMiddleRow)
{
    for (int height : {1, 2, 3, 4, 33}) {
        TluxBitmap b;
        b.SetSize(47, height);
        fillPlaced(b);
        b.FlipHorz();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 47; ++x)
                ASSERT_EQ(b.GetPixel(x, y), placed(x, height - 1 - y)) << height << ": " << x << "," << y;
    }
    TluxBitmap empty;
    empty.FlipHorz();
    EXPECT_TRUE(empty.Empty());
}

TEST(BitmapColourAdjustments, VisiblePixelsChangeAndKeepTheirAlpha)
{
    TluxBitmap b;
    b.SetSize(3, 2);
    const TluxColor pixels[] = {0xFF00FF00, 0x8000FF00, 0x0000FF00, 0xFF336699, 0x01808080, 0xFFFFFFFF};
    for (int i = 0; i < 6; ++i)
        b.SetPixel(i % 3, i / 3, pixels[i]);
    const auto check = [&](const char* what, auto change) {
        for (int i = 0; i < 6; ++i) {
            const TluxColor expected =
                (pixels[i] >> 24) == 0 ? pixels[i] : (pixels[i] & 0xFF000000u) | (change(pixels[i]) & 0xFFFFFF);
            EXPECT_EQ(b.GetPixel(i % 3, i / 3), expected) << what << " pixel " << i;
        }
    };
    const auto reset = [&] {
        for (int i = 0; i < 6; ++i)
            b.SetPixel(i % 3, i / 3, pixels[i]);
    };

    // A zero delta changes nothing, although ChangeHue(p, 0) would re-round some colours.
    b.ChangeBitmapHue(0);
    b.ChangeBitmapSat(0);
    b.ChangeBitmapBrightness(0);
    check("zero deltas", [](TluxColor p) { return p; });

    // SetBitmapHue(0) always runs: visible green turns red.
    b.SetBitmapHue(0);
    check("hue 0", [](TluxColor p) { return SetHue(p, 0); });
    EXPECT_EQ(b.GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b.GetPixel(1, 0), 0x80FF0000u);
    EXPECT_EQ(b.GetPixel(2, 0), 0x0000FF00u);

    reset();
    b.ChangeBitmapHue(100);
    check("hue", [](TluxColor p) { return ChangeHue(p, 100); });
}
