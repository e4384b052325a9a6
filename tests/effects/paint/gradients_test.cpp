// Linear band arithmetic and radial discs on small canvases.

#include "platform/arith.h"
#include "effects/paint/canvaspainting.h"
#include "tests/effects/paint/painttestcanvas.h"

#include <gtest/gtest.h>

namespace {
constexpr QRgb white = 0xFFFFFFFF;
QRgb grey(int v) { return qRgb(v, v, v); }
} // namespace

TEST(FillGradientRect, ThreePixelsTakeTheColoursOfStepsZeroOneTwo)
{
    // R inside a wider canvas: the band for i = Steps would start at R.Right.
    const std::map<QRgb, char> greys = {{white, '.'}, {grey(0), '0'}, {grey(85), '1'}, {grey(170), '2'}};
    TestCanvas h(7, 2);
    FillGradientRect(&h.canvas, TRect(2, 0, 5, 2), clBlack, clWhite, false);
    EXPECT_EQ(h.map(greys), "..012..|..012..");
    TestCanvas v(1, 5);
    FillGradientRect(&v.canvas, TRect(0, 1, 1, 4), clBlack, clWhite, true);
    EXPECT_EQ(v.map(greys), ".|0|1|2|.");
    EXPECT_EQ(v.canvas.Brush.Style, BrushStyle::Solid);
    EXPECT_EQ(v.canvas.Brush.Color, TColor(RGB(170, 170, 170)));
}

TEST(FillGradientRect, ChannelsRoundHalvesToEvenAndWideRectanglesUse255Bands)
{
    // Steps = 2: the middle value of 0 -> 1 is 0.5, of 0 -> 3 is 1.5, of 0 -> 5 is 2.5.
    TestCanvas t(2, 1);
    FillGradientRect(&t.canvas, TRect(0, 0, 2, 1), RGB(0, 0, 0), RGB(1, 3, 5), false);
    EXPECT_EQ(t.at(1, 0), qRgb(0, 2, 2));

    // 510 pixels: 255 bands of two pixels, the last one step short of EndColor.
    TestCanvas w(510, 1);
    FillGradientRect(&w.canvas, TRect(0, 0, 510, 1), clBlack, clWhite, false);
    for (int x = 0; x < 510; ++x)
        ASSERT_EQ(w.at(x, 0), grey(x / 2)) << x;
}

TEST(FillGradientRect, EqualColoursPaintOneSolidColourAndEmptyRectanglesNothing)
{
    TestCanvas t(3, 300);
    FillGradientRect(&t.canvas, TRect(0, 0, 3, 300), clBtnFace, clBtnFace, true);
    const QImage solid = [] {
        QImage i(3, 300, QImage::Format_ARGB32);
        i.fill(opaque(ColorToRGB(clBtnFace)));
        return i;
    }();
    EXPECT_EQ(t.image, solid);

    TestCanvas e(5, 5);
    FillGradientRect(&e.canvas, TRect(3, 0, 3, 5), clBlack, clWhite, false);
    FillGradientRect(&e.canvas, TRect(4, 0, 1, 5), clBlack, clWhite, false);
    FillGradientRect(&e.canvas, TRect(0, 4, 5, 2), clBlack, clWhite, true);
    EXPECT_EQ(e.map({{white, '.'}}), ".....|.....|.....|.....|.....");
}

TEST(FillRadialGradientRect, CentreIsAPercentageOfTheRectangle)
{
    const TRect r(10, 10, 110, 110);
    TestCanvas corner(130, 130);
    FillRadialGradientRect(&corner.canvas, r, clRed, clBlue, TPoint(0, 0));
    EXPECT_EQ(corner.at(10, 10), opaque(clRed));
    EXPECT_EQ(corner.at(9, 9), white);                 // outside R: clipped
    EXPECT_GE(qBlue(corner.at(109, 10)), 250);          // 99 out: an outermost disc
    EXPECT_EQ(corner.at(109, 109), white);              // 140 out: beyond every disc

    TestCanvas far(130, 130);
    FillRadialGradientRect(&far.canvas, r, clRed, clBlue, TPoint(100, 100));
    EXPECT_EQ(far.at(109, 109), opaque(clRed));
    EXPECT_EQ(far.at(10, 10), white);

    // From the middle outwards the colour is that of a non-decreasing step; discs of
    // radius 2 * (i + 1) put 49 pixels out at step 24 or 25.
    TestCanvas mid(130, 130);
    FillRadialGradientRect(&mid.canvas, r, clRed, clBlue, TPoint(50, 50));
    auto stepOf = [](QRgb p) {
        for (int i = 0; i <= 50; ++i)
            if (p == qRgb(int(RoundHalfEven((i * -65025 / 50.0 + 65025) / 255)), 0,
                          int(RoundHalfEven(i * 65025 / 50.0 / 255))))
                return i;
        return -1;
    };
    EXPECT_EQ(stepOf(mid.at(60, 60)), 0);
    int last = 0;
    for (int x = 60; x < 110; ++x) {
        ASSERT_GE(stepOf(mid.at(x, 60)), last) << x;
        last = stepOf(mid.at(x, 60));
    }
    EXPECT_TRUE(last == 24 || last == 25) << last;
}

TEST(FillRadialGradientRect, ClipIsGivenBackAndAnEarlierClipStaysInForce)
{
    TestCanvas t(40, 40);
    FillRadialGradientRect(&t.canvas, TRect(5, 5, 25, 25), clRed, clBlue, TPoint(50, 50));
    EXPECT_FALSE(t.dc.clipRegion().has_value());
    EXPECT_EQ(t.canvas.Pen.Style, PenStyle::Clear);

    // R is logical (device x = logical x + 10); the caller's clip also limits the discs.
    TestCanvas c(40, 40);
    c.dc.setWindowOrigin(TPoint(-10, 0));
    const QRegion callerClip(QRect(0, 0, 20, 40));
    c.dc.selectClipRegion(callerClip);
    FillRadialGradientRect(&c.canvas, TRect(0, 0, 20, 20), clRed, clBlue, TPoint(50, 50));
    EXPECT_EQ(c.dc.clipRegion(), std::optional<QRegion>(callerClip));
    EXPECT_EQ(c.at(9, 10), white);  // left of R
    EXPECT_NE(c.at(19, 10), white); // inside R and the caller's clip
    EXPECT_EQ(c.at(20, 10), white); // inside R, outside the caller's clip
}
