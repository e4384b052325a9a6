// Halftone checkerboards aligned to the brush origin, translucent rectangles and
// glyph shadows.

#include "effects/paint/canvaspainting.h"
#include "effects/bitmap/luxbitmap.h"
#include "tests/effects/paint/painttestcanvas.h"
#include "effects/bitmap/rasterprimitives.h"

#include <gtest/gtest.h>

namespace {
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb grey = 0xFF808080;
// Color2 (black, 'x') where the device x + y is even, Color1 (red, 'o') elsewhere.
const std::map<QRgb, char> halftone = {{white, '.'}, {opaque(clBlack), 'x'}, {opaque(clRed), 'o'}, {opaque(clBlue), 'B'}};
} // namespace

TEST(FillHalftoneRect, PatternFollowsTheBrushOriginNotTheRectangle)
{
    TestCanvas t(7, 4);
    FillHalftoneRect(&t.canvas, TRect(3, 1, 6, 3), clRed, clBlack);
    EXPECT_EQ(t.map(halftone), ".......|...xox.|...oxo.|.......");
    EXPECT_EQ(t.canvas.Brush.Style, BrushStyle::Pattern);

    TestCanvas w(19, 2); // wider than the 8-pixel pattern: no seam
    FillHalftoneRect(&w.canvas, TRect(0, 0, 19, 2), clRed, clBlack);
    EXPECT_EQ(w.map(halftone), "xoxoxoxoxoxoxoxoxox|oxoxoxoxoxoxoxoxoxo");
}

TEST(FillHalftoneRect, NegativeLeftAndTopStartAtZero)
{
    // Logical (x, y) is device (x + 4, y + 2), so negative coordinates are visible.
    TestCanvas t(8, 5);
    t.dc.setWindowOrigin(TPoint(-4, -2));
    FillHalftoneRect(&t.canvas, TRect(-5, -3, 3, 2), clRed, clBlack);
    EXPECT_EQ(t.map(halftone), "........|........|....xox.|....oxo.|........");
    // Raising Left past Right leaves nothing.
    FillHalftoneRect(&t.canvas, TRect(-5, -3, -1, 2), clBlue, clBlue);
    EXPECT_EQ(t.map(halftone).find('B'), std::string::npos);
}

TEST(FillHalftonePolygon, FillsTheInsideWithoutAnOutline)
{
    TestCanvas t(6, 6);
    t.canvas.Pen.Color = clBlue;
    const TPoint square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    FillHalftonePolygon(&t.canvas, square, 3, clRed, clBlack);
    EXPECT_EQ(t.canvas.Pen.Style, PenStyle::Clear);
    EXPECT_EQ(t.map(halftone), "......|.xoxo.|.oxox.|.xoxo.|.oxox.|......");
}

TEST(FillAlphaRect, AlphaZeroLeavesTheCanvasAndFullAlphaPaintsOpaquely)
{
    const TRect r(1, 1, 4, 3);
    const std::map<QRgb, char> names = {{grey, '.'}, {opaque(clRed), 'R'}};
    TestCanvas t(5, 4, grey);
    FillAlphaRect(&t.canvas, r, clRed, 0);
    FillAlphaRect(&t.canvas, r, clRed, 256); // only the low 8 bits count
    EXPECT_EQ(t.map(names), ".....|.....|.....|.....");
    FillAlphaRect(&t.canvas, r, clRed, 255);
    EXPECT_EQ(t.map(names), ".....|.RRR.|.RRR.|.....");

    // In between: the bitmap blend of the colour at that alpha over the canvas.
    TestCanvas half(5, 4, grey);
    FillAlphaRect(&half.canvas, r, clBtnFace, 0x180);
    const QRgb mixed = PixelAlphaBlendFunc(luxColor(clBtnFace, 0x80), grey);
    ASSERT_NE(mixed, grey);
    EXPECT_EQ(half.map({{grey, '.'}, {mixed, 'm'}}), ".....|.mmm.|.mmm.|.....");
}

TEST(DrawGlyphShadow, PixelsThatAreNeitherHolesNorKeyBecomeTheColourAtAlpha100)
{
    TluxBitmap glyph;
    glyph.SetSize(4, 2);
    glyph.Clear(0xFF7F007F);          // the key colour, opaque: a hole
    glyph.SetPixel(1, 0, 0xFFFF0000); // opaque: shadow
    glyph.SetPixel(2, 0, 0x40123456); // translucent: shadow
    glyph.SetPixel(3, 0, 0xFF7B037C); // within 6 of the key in each channel: a hole
    glyph.SetPixel(0, 1, 0x00ABCDEF); // alpha 0: a hole
    glyph.SetPixel(1, 1, 0xFF000000); // opaque black: shadow
    const QImage before = QImage(reinterpret_cast<const uchar*>(glyph.Bits), 4, 2, QImage::Format_ARGB32).copy();

    TestCanvas t(6, 4);
    DrawGlyphShadow(&t.canvas, 1, 1, &glyph, clNavy);
    DrawGlyphShadow(&t.canvas, 0, 0, nullptr, clNavy);
    const QRgb shade = PixelAlphaBlendFunc(luxColor(clNavy, 100), white);
    EXPECT_EQ(t.map({{white, '.'}, {shade, 's'}}), "......|..ss..|..s...|......");
    EXPECT_EQ(before, QImage(reinterpret_cast<const uchar*>(glyph.Bits), 4, 2, QImage::Format_ARGB32));
}
