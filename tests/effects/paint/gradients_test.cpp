// Linear band arithmetic and radial discs on small canvases.

#include "arith.h"
#include "canvaspainting.h"
#include "painttestcanvas.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb white = 0xFFFFFFFF;

QRgb grey(int v)
{
    return qRgb(v, v, v);
}

} // namespace

TEST(FillGradientRect, ThreePixelsTakeTheColoursOfStepsZeroOneTwo)
{
    // R sits inside a wider canvas: the band for i = Steps would start at R.Right.
    TestCanvas h(7, 2);
    FillGradientRect(&h.canvas, TRect(2, 0, 5, 2), clBlack, clWhite, false);
    const QRgb row[] = {white, white, grey(0), grey(85), grey(170), white, white};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(h.at(x, y), row[x]) << x << "," << y;

    TestCanvas v(2, 5);
    FillGradientRect(&v.canvas, TRect(0, 1, 2, 4), clBlack, clWhite, true);
    const QRgb column[] = {white, grey(0), grey(85), grey(170), white};
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(v.at(1, y), column[y]) << y;
    EXPECT_EQ(v.canvas.Brush.Style, BrushStyle::Solid);
    EXPECT_EQ(v.canvas.Brush.Color, TColor(RGB(170, 170, 170)));
}

TEST(FillGradientRect, ChannelsRoundHalvesToEvenAndWideRectanglesUse255Bands)
{
    // Width 2: Steps = 2, the middle value (i = 1) of 0 -> 1 is 0.5 and of 0 -> 3 is 1.5.
    TestCanvas t(2, 1);
    FillGradientRect(&t.canvas, TRect(0, 0, 2, 1), RGB(0, 0, 0), RGB(1, 3, 5), false);
    EXPECT_EQ(t.at(1, 0), qRgb(0, 2, 2));

    // 510 pixels: 255 bands of two pixels each, the last one short of EndColor.
    TestCanvas w(510, 1);
    FillGradientRect(&w.canvas, TRect(0, 0, 510, 1), clBlack, clWhite, false);
    for (int x = 0; x < 510; ++x)
        ASSERT_EQ(w.at(x, 0), grey(x / 2)) << x;

    // 300 pixels, 255 bands: MulDiv places band i at round(i * 300 / 255).
    TestCanvas m(300, 1);
    FillGradientRect(&m.canvas, TRect(0, 0, 300, 1), clBlack, clWhite, false);
    for (int i = 0; i < 255; ++i) {
        const int left = MulDiv(i, 300, 255), right = MulDiv(i + 1, 300, 255);
        for (int x = left; x < right; ++x)
            ASSERT_EQ(m.at(x, 0), grey(i)) << x;
    }
}

TEST(FillGradientRect, EqualColoursPaintOneSolidColourAndEmptyRectanglesNothing)
{
    TestCanvas t(40, 300);
    FillGradientRect(&t.canvas, TRect(0, 0, 40, 300), clBtnFace, clBtnFace, true);
    const QRgb face = opaque(ColorToRGB(clBtnFace));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(t.at(x, y), face) << x << "," << y;

    TestCanvas e(5, 5);
    FillGradientRect(&e.canvas, TRect(3, 0, 3, 5), clBlack, clWhite, false);
    FillGradientRect(&e.canvas, TRect(4, 0, 1, 5), clBlack, clWhite, false);
    FillGradientRect(&e.canvas, TRect(0, 4, 5, 2), clBlack, clWhite, true);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(e.at(x, y), white);
}

TEST(FillRadialGradientRect, CentreIsAPercentageOfTheRectangle)
{
    const TRect r(10, 10, 110, 110);
    const QRgb begin = opaque(clRed);

    TestCanvas corner(130, 130);
    FillRadialGradientRect(&corner.canvas, r, clRed, clBlue, TPoint(0, 0));
    EXPECT_EQ(corner.at(10, 10), begin);
    EXPECT_EQ(corner.at(109, 109), white); // 140 pixels from the centre, beyond the outer disc
    EXPECT_EQ(corner.at(9, 9), white);      // outside R: clipped
    EXPECT_GE(qBlue(corner.at(109, 10)), 250); // 99 pixels out: one of the two outermost discs

    TestCanvas far(130, 130);
    FillRadialGradientRect(&far.canvas, r, clRed, clBlue, TPoint(100, 100));
    EXPECT_EQ(far.at(109, 109), begin);
    EXPECT_EQ(far.at(10, 10), white);
    EXPECT_EQ(far.at(110, 110), white); // the centre itself lies outside R

    // Middle: the discs grow by 2 pixels of radius per step, so going outwards the
    // colour is that of a step from red toward blue that never goes back.
    TestCanvas mid(130, 130);
    FillRadialGradientRect(&mid.canvas, r, clRed, clBlue, TPoint(50, 50));
    EXPECT_EQ(mid.at(60, 60), begin);
    auto stepOf = [](QRgb p) {
        for (int i = 0; i <= 50; ++i) {
            const int red = int(RoundHalfEven((i * -65025 / 50.0 + 65025) / 255));
            const int blue = int(RoundHalfEven((i * 65025 / 50.0) / 255));
            if (qRed(p) == red && qGreen(p) == 0 && qBlue(p) == blue)
                return i;
        }
        return -1;
    };
    int last = 0;
    for (int x = 60; x < 110; ++x) {
        const int step = stepOf(mid.at(x, 60));
        ASSERT_GE(step, last) << x;
        last = step;
    }
    // A disc of radius 2 * (i + 1) reaches about 2i + 1 pixels out: 49 pixels out
    // is step 24 or 25.
    EXPECT_GE(last, 24);
    EXPECT_LE(last, 25);
}

TEST(FillRadialGradientRect, ClipIsGivenBackAndAnEarlierClipStaysInForce)
{
    TestCanvas t(40, 40);
    FillRadialGradientRect(&t.canvas, TRect(5, 5, 25, 25), clRed, clBlue, TPoint(50, 50));
    EXPECT_FALSE(t.dc.clipRegion().has_value());
    EXPECT_EQ(t.canvas.Brush.Style, BrushStyle::Solid);
    EXPECT_EQ(t.canvas.Pen.Style, PenStyle::Clear);
    // After the routine the canvas draws anywhere again.
    FillRect(&t.canvas, TRect(30, 30, 31, 31), clGreen);
    EXPECT_EQ(t.at(30, 30), opaque(clGreen));

    // With a window origin the rectangle is logical, and a caller's clip limits the discs.
    TestCanvas c(40, 40);
    c.dc.setWindowOrigin(TPoint(-10, 0)); // logical x = device x - 10
    const QRegion callerClip(QRect(0, 0, 20, 40));
    c.dc.selectClipRegion(callerClip);
    FillRadialGradientRect(&c.canvas, TRect(0, 0, 20, 20), clRed, clBlue, TPoint(50, 50));
    ASSERT_TRUE(c.dc.clipRegion().has_value());
    EXPECT_EQ(*c.dc.clipRegion(), callerClip);
    EXPECT_EQ(c.at(9, 10), white);        // logical -1: left of R
    EXPECT_NE(c.at(19, 10), white);       // logical 9, inside R and the caller's clip
    EXPECT_EQ(c.at(20, 10), white);       // logical 10: outside the caller's clip
    EXPECT_EQ(c.at(25, 10), white);

    TestCanvas e(10, 10);
    FillRadialGradientRect(&e.canvas, TRect(5, 5, 5, 9), clRed, clBlue, TPoint(50, 50));
    EXPECT_EQ(e.at(5, 5), white);
}
