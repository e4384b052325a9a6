// Halftone checkerboards aligned to the brush origin, and translucent rectangles.

#include "canvaspainting.h"
#include "luxbitmap.h"
#include "painttestcanvas.h"
#include "rasterprimitives.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb grey = 0xFF808080;

// Color2 (clBlack) where the device x + y is even, Color1 (clRed) elsewhere.
QRgb checker(int deviceX, int deviceY)
{
    return (deviceX + deviceY) % 2 == 0 ? opaque(clBlack) : opaque(clRed);
}

} // namespace

TEST(FillHalftoneRect, PatternFollowsTheBrushOriginNotTheRectangle)
{
    TestCanvas t(8, 6);
    FillHalftoneRect(&t.canvas, TRect(3, 2, 7, 5), clRed, clBlack);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
            EXPECT_EQ(t.at(x, y), inside ? checker(x, y) : white) << x << "," << y;
        }
    EXPECT_EQ(t.canvas.Brush.Style, BrushStyle::Pattern);

    // Wider than the 8-pixel pattern: it repeats without a seam.
    TestCanvas w(21, 3);
    FillHalftoneRect(&w.canvas, TRect(0, 0, 21, 3), clRed, clBlack);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 21; ++x)
            ASSERT_EQ(w.at(x, y), checker(x, y)) << x << "," << y;
}

TEST(FillHalftoneRect, NegativeLeftAndTopStartAtZero)
{
    // Logical (x, y) is device (x + 8, y + 4), so negative coordinates are visible.
    TestCanvas t(14, 8);
    t.dc.setWindowOrigin(TPoint(-8, -4));
    FillHalftoneRect(&t.canvas, TRect(-5, -3, 4, 2), clRed, clBlack);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 14; ++x) {
            const int lx = x - 8, ly = y - 4;
            const bool painted = lx >= 0 && lx < 4 && ly >= 0 && ly < 2;
            EXPECT_EQ(t.at(x, y), painted ? checker(x, y) : white) << lx << "," << ly;
        }

    // Raising Left past Right leaves nothing to paint.
    TestCanvas e(14, 8);
    e.dc.setWindowOrigin(TPoint(-8, -4));
    FillHalftoneRect(&e.canvas, TRect(-5, -3, -1, 2), clRed, clBlack);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 14; ++x)
            ASSERT_EQ(e.at(x, y), white);
}

TEST(FillHalftonePolygon, FillsTheInsideWithoutAnOutline)
{
    TestCanvas t(10, 10);
    t.canvas.Pen.Color = clBlue;
    const TPoint square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    FillHalftonePolygon(&t.canvas, square, 3, clRed, clBlack);
    EXPECT_EQ(t.canvas.Pen.Style, PenStyle::Clear);
    for (int y = 3; y < 7; ++y)
        for (int x = 3; x < 7; ++x)
            EXPECT_EQ(t.at(x, y), checker(x, y)) << x << "," << y;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            ASSERT_NE(t.at(x, y), opaque(clBlue));
            if (x < 2 || y < 2 || x > 8 || y > 8) {
                ASSERT_EQ(t.at(x, y), white);
            }
        }
}

TEST(FillAlphaRect, AlphaZeroLeavesTheCanvasAndFullAlphaPaintsOpaquely)
{
    const TRect r(1, 1, 4, 3);
    auto inside = [&](int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; };

    TestCanvas none(5, 4, grey);
    FillAlphaRect(&none.canvas, r, clRed, 0);
    FillAlphaRect(&none.canvas, r, clRed, 256); // only the low 8 bits count
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(none.at(x, y), grey);

    TestCanvas full(5, 4, grey);
    FillAlphaRect(&full.canvas, r, clRed, 255);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(full.at(x, y), inside(x, y) ? opaque(clRed) : grey) << x << "," << y;

    // In between: the bitmap's own blend of the colour at that alpha over the canvas.
    TestCanvas half(5, 4, grey);
    FillAlphaRect(&half.canvas, r, clBtnFace, 0x180); // alpha 0x80
    const TluxColor expected = PixelAlphaBlendFunc(luxColor(clBtnFace, 0x80), grey);
    EXPECT_NE(expected & 0xFFFFFF, grey & 0xFFFFFF);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(half.at(x, y) & 0xFFFFFF, inside(x, y) ? expected & 0xFFFFFF : grey & 0xFFFFFF);
}

TEST(DrawGlyphShadow, OpaquePixelsBecomeTheShadowColourAtAlpha100)
{
    TluxBitmap glyph;
    glyph.SetSize(4, 2);
    glyph.Clear(0xFF7F007F);          // the key colour, opaque: a hole
    glyph.SetPixel(1, 0, 0xFFFF0000); // opaque red: shadow
    glyph.SetPixel(2, 0, 0x40123456); // translucent: shadow
    glyph.SetPixel(3, 0, 0xFF7B037C); // within 6 of the key in each channel: a hole
    glyph.SetPixel(0, 1, 0x00ABCDEF); // alpha 0: a hole
    glyph.SetPixel(1, 1, 0xFF000000); // opaque black: shadow
    const QImage before(reinterpret_cast<const uchar*>(glyph.Bits), 4, 2, QImage::Format_ARGB32);
    const QImage glyphCopy = before.copy();

    TestCanvas t(7, 5);
    DrawGlyphShadow(&t.canvas, 2, 1, &glyph, clNavy);
    const QRgb shade = PixelAlphaBlendFunc(luxColor(clNavy, 100), white) | 0xFF000000u;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool shadow = (y == 1 && (x == 3 || x == 4)) || (y == 2 && x == 3);
            EXPECT_EQ(t.at(x, y) | 0xFF000000u, shadow ? shade : white) << x << "," << y;
        }
    // The glyph itself is not changed.
    EXPECT_EQ(glyphCopy, QImage(reinterpret_cast<const uchar*>(glyph.Bits), 4, 2, QImage::Format_ARGB32));

    DrawGlyphShadow(&t.canvas, 0, 0, nullptr, clNavy); // nothing, no crash
}
