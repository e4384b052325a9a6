// Lines, outlines and fills: exact pixels, and the pen and brush each routine
// leaves on the canvas.

#include "effects/paint/canvaspainting.h"
#include "tests/effects/paint/painttestcanvas.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
constexpr QRgb white = 0xFFFFFFFF;
const std::map<QRgb, char> redBlue = {{white, '.'}, {opaque(clRed), 'T'}, {opaque(clBlue), 'B'}};
} // namespace

TEST(DrawEdge, TopLeftOwnsLeftAndTopWithoutFarEndsBottomRightOwnsTheRest)
{
    TestCanvas t(7, 6);
    DrawEdge(&t.canvas, TRect(1, 1, 6, 5), clRed, clBlue);
    EXPECT_EQ(t.map(redBlue), ".......|.TTTTB.|.T...B.|.T...B.|.BBBBB.|.......");
    EXPECT_EQ(t.canvas.Pen.Color, clBlue);
    EXPECT_EQ(t.canvas.Pen.Style, PenStyle::Solid);
    EXPECT_EQ(t.canvas.Brush.Style, BrushStyle::Clear);

    TestCanvas small(4, 4); // 2 x 2: TopLeft keeps only the top-left pixel
    DrawEdge(&small.canvas, 1, 1, 3, 3, clRed, clBlue);
    EXPECT_EQ(small.map(redBlue), "....|.TB.|.BB.|....");
}

TEST(Shapes, OutlinesLeaveTheInsideWhateverBrushTheCanvasHad)
{
    TestCanvas t(6, 5);
    t.canvas.Brush.Color = clYellow; // solid, left by someone else
    DrawRect(&t.canvas, 1, 1, 5, 4, clRed);
    EXPECT_EQ(t.map(redBlue), "......|.TTTT.|.T..T.|.TTTT.|......");

    const TPoint square[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
    TestCanvas p(6, 6);
    DrawPolygon(&p.canvas, square, 3, clBlue);
    EXPECT_EQ(p.map(redBlue), "......|.BBBB.|.B..B.|.B..B.|.BBBB.|......");
    FillPolygon(&p.canvas, square, 3, clRed);
    EXPECT_EQ(p.map(redBlue), "......|.TTTT.|.TTTT.|.TTTT.|.TTTT.|......");

    // A filled ellipse has no outline: the pen's colour appears nowhere.
    TestCanvas e(12, 12);
    e.canvas.Pen.Color = clBlue;
    FillEllipse(&e.canvas, TRect(0, 0, 12, 12), clRed);
    EXPECT_EQ(e.at(6, 6), opaque(clRed));
    EXPECT_EQ(e.at(0, 0), white);
    EXPECT_EQ(e.map(redBlue).find('B'), std::string::npos);
}

TEST(Shapes, EachRoutineLeavesItsPenAndBrushOnTheCanvas)
{
    const TPoint tri[] = {{0, 0}, {5, 0}, {0, 5}};
    const TRect r(0, 0, 9, 9);
    using S = PenStyle;
    using B = BrushStyle;
    struct Case {
        const char* name;
        std::function<void(TCanvas*)> draw;
        S pen;
        TColor penColor;
        B brush;
        TColor brushColor;
    };
    // Before each routine: a dashed green pen and a solid yellow brush.
    const Case cases[] = {
        {"LineTo", [](TCanvas* c) { LineTo(c, 3, 3, clRed); }, S::Solid, clRed, B::Solid, clYellow},
        {"DrawRect", [&](TCanvas* c) { DrawRect(c, r, clRed); }, S::Solid, clRed, B::Clear, 0},
        {"FillRect", [&](TCanvas* c) { FillRect(c, r, clRed); }, S::Dash, clGreen, B::Solid, clRed},
        {"FillEllipse", [&](TCanvas* c) { FillEllipse(c, r, clRed); }, S::Clear, clGreen, B::Solid, clRed},
        {"DrawRoundRect", [&](TCanvas* c) { DrawRoundRect(c, r, 4, clRed); }, S::Solid, clRed, B::Clear, 0},
        {"FillRoundRect", [&](TCanvas* c) { FillRoundRect(c, r, 4, clRed); }, S::Dash, clRed, B::Solid, clRed},
        {"DrawPolygon", [&](TCanvas* c) { DrawPolygon(c, tri, 2, clRed); }, S::Solid, clRed, B::Clear, 0},
        {"FillPolygon", [&](TCanvas* c) { FillPolygon(c, tri, 2, clRed); }, S::Solid, clRed, B::Solid, clRed},
        {"DrawFocusRect", [&](TCanvas* c) { DrawFocusRect(c, r, clRed); }, S::Dash, clGreen, B::Solid, clRed},
    };
    for (const Case& k : cases) {
        TestCanvas t(10, 10);
        t.canvas.Pen = LogPen{clGreen, 1, S::Dash};
        t.canvas.Brush.Color = clYellow;
        k.draw(&t.canvas);
        EXPECT_EQ(t.canvas.Pen.Style, k.pen) << k.name;
        EXPECT_EQ(t.canvas.Pen.Color, k.penColor) << k.name;
        EXPECT_EQ(t.canvas.Pen.Width, 1) << k.name;
        EXPECT_EQ(t.canvas.Brush.Style, k.brush) << k.name;
        EXPECT_TRUE(k.brush == B::Clear || t.canvas.Brush.Color == k.brushColor) << k.name;
    }
}

TEST(Shapes, FillRectOnADeviceContextGivesTheContextItsStateBack)
{
    QImage image(5, 4, QImage::Format_ARGB32);
    image.fill(white);
    DeviceContext dc(&image);
    dc.setPen(LogPen{clGreen, 1, PenStyle::Dot});
    LogBrush brush;
    brush.Color = clYellow;
    dc.setBrush(brush);
    dc.setTextColor(clBlue);

    FillRect(&dc, 1, 1, 3, 3, clRed);
    TestCanvas view(5, 4);
    view.image = image;
    EXPECT_EQ(view.map(redBlue), ".....|.TT..|.TT..|.....");
    EXPECT_EQ(dc.pen().Style, PenStyle::Dot);
    EXPECT_EQ(dc.pen().Color, clGreen);
    EXPECT_EQ(dc.brush().Color, clYellow);
    EXPECT_EQ(dc.textColor(), clBlue);
}
