// Lines, outlines and fills: exact pixels, and the pen and brush each routine
// leaves on the canvas.

#include "canvaspainting.h"
#include "painttestcanvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr QRgb white = 0xFFFFFFFF;

// Every pixel of the canvas as one character per pixel, rows joined by '|':
// 'T' top-left colour, 'B' bottom-right colour, '.' untouched.
std::string edgeMap(const TestCanvas& t, QRgb topLeft, QRgb bottomRight)
{
    std::string s;
    for (int y = 0; y < t.image.height(); ++y) {
        if (y)
            s += '|';
        for (int x = 0; x < t.image.width(); ++x) {
            const QRgb p = t.at(x, y);
            s += p == topLeft ? 'T' : p == bottomRight ? 'B' : p == white ? '.' : '?';
        }
    }
    return s;
}

} // namespace

TEST(DrawEdge, TopLeftOwnsLeftAndTopWithoutFarEndsBottomRightOwnsTheRest)
{
    TestCanvas t(7, 6);
    DrawEdge(&t.canvas, TRect(1, 1, 6, 5), clRed, clBlue);
    EXPECT_EQ(edgeMap(t, opaque(clRed), opaque(clBlue)),
              ".......|"
              ".TTTTB.|"
              ".T...B.|"
              ".T...B.|"
              ".BBBBB.|"
              ".......");
    EXPECT_EQ(t.canvas.Pen.Color, clBlue);
    EXPECT_EQ(t.canvas.Pen.Style, PenStyle::Solid);
    EXPECT_EQ(t.canvas.Brush.Style, BrushStyle::Clear);

    // The coordinate form draws the same frame; a 2 x 2 rectangle keeps only its
    // top-left pixel for TopLeft.
    TestCanvas small(4, 4);
    DrawEdge(&small.canvas, 1, 1, 3, 3, clRed, clBlue);
    EXPECT_EQ(edgeMap(small, opaque(clRed), opaque(clBlue)), "....|.TB.|.BB.|....");
}

TEST(Shapes, OutlinesLeaveTheInsideAndFillsCoverExactlyTheRectangle)
{
    TestCanvas t(8, 8);
    t.canvas.Brush.Color = clYellow; // a solid brush left by someone else must not fill
    DrawRect(&t.canvas, 1, 1, 5, 4, clRed);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool frame = (x >= 1 && x <= 4 && (y == 1 || y == 3)) || (y >= 1 && y <= 3 && (x == 1 || x == 4));
            EXPECT_EQ(t.at(x, y), frame ? opaque(clRed) : white) << x << "," << y;
        }

    TestCanvas f(6, 6);
    FillRect(&f.canvas, 1, 2, 4, 5, clGreen);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(f.at(x, y), (x >= 1 && x < 4 && y >= 2 && y < 5) ? opaque(clGreen) : white) << x << "," << y;

    // Outlined polygon: its inside stays; the filled one covers it.
    const TPoint square[] = {{1, 1}, {6, 1}, {6, 6}, {1, 6}};
    TestCanvas p(8, 8);
    DrawPolygon(&p.canvas, square, 3, clBlue);
    EXPECT_EQ(p.at(1, 1), opaque(clBlue));
    EXPECT_EQ(p.at(3, 3), white);
    FillPolygon(&p.canvas, square, 3, clRed);
    EXPECT_EQ(p.at(3, 3), opaque(clRed));
    EXPECT_EQ(p.at(1, 1), opaque(clRed));
    EXPECT_EQ(p.at(7, 7), white);

    // A filled ellipse has no outline: with the pen of another colour set before,
    // no pixel takes the pen's colour.
    TestCanvas e(12, 12);
    e.canvas.Pen.Color = clBlue;
    FillEllipse(&e.canvas, TRect(0, 0, 12, 12), clRed);
    EXPECT_EQ(e.at(6, 6), opaque(clRed));
    EXPECT_EQ(e.at(0, 0), white);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_NE(e.at(x, y), opaque(clBlue));
}

TEST(Shapes, EachRoutineLeavesItsPenAndBrushOnTheCanvas)
{
    const TPoint tri[] = {{0, 0}, {5, 0}, {0, 5}};
    struct Case {
        const char* name;
        std::function<void(TCanvas*)> draw;
        PenStyle pen;
        TColor penColor;
        BrushStyle brush;
        TColor brushColor;
    };
    // Before each routine: a dashed green pen and a solid yellow brush.
    const std::vector<Case> cases = {
        {"LineTo", [](TCanvas* c) { LineTo(c, 3, 3, clRed); }, PenStyle::Solid, clRed, BrushStyle::Solid, clYellow},
        {"DrawRect", [](TCanvas* c) { DrawRect(c, TRect(0, 0, 4, 4), clRed); }, PenStyle::Solid, clRed, BrushStyle::Clear, clYellow},
        {"FillRect", [](TCanvas* c) { FillRect(c, TRect(0, 0, 4, 4), clRed); }, PenStyle::Dash, clGreen, BrushStyle::Solid, clRed},
        {"FillEllipse", [](TCanvas* c) { FillEllipse(c, 0, 0, 4, 4, clRed); }, PenStyle::Clear, clGreen, BrushStyle::Solid, clRed},
        {"DrawRoundRect", [](TCanvas* c) { DrawRoundRect(c, TRect(0, 0, 9, 9), 4, clRed); }, PenStyle::Solid, clRed, BrushStyle::Clear, clYellow},
        {"FillRoundRect", [](TCanvas* c) { FillRoundRect(c, TRect(0, 0, 9, 9), 4, clRed); }, PenStyle::Dash, clRed, BrushStyle::Solid, clRed},
        {"DrawPolygon", [&](TCanvas* c) { DrawPolygon(c, tri, 2, clRed); }, PenStyle::Solid, clRed, BrushStyle::Clear, clYellow},
        {"FillPolygon", [&](TCanvas* c) { FillPolygon(c, tri, 2, clRed); }, PenStyle::Solid, clRed, BrushStyle::Solid, clRed},
        {"DrawFocusRect", [](TCanvas* c) { DrawFocusRect(c, TRect(0, 0, 4, 4), clRed); }, PenStyle::Dash, clGreen, BrushStyle::Solid, clRed},
    };
    for (const Case& k : cases) {
        TestCanvas t(10, 10);
        t.canvas.Pen.Style = PenStyle::Dash;
        t.canvas.Pen.Color = clGreen;
        t.canvas.Pen.Width = 1;
        t.canvas.Brush.Style = BrushStyle::Solid;
        t.canvas.Brush.Color = clYellow;
        k.draw(&t.canvas);
        EXPECT_EQ(t.canvas.Pen.Style, k.pen) << k.name;
        EXPECT_EQ(t.canvas.Pen.Color, k.penColor) << k.name;
        EXPECT_EQ(t.canvas.Pen.Width, 1) << k.name;
        EXPECT_EQ(t.canvas.Brush.Style, k.brush) << k.name;
        if (k.brush != BrushStyle::Clear) {
            EXPECT_EQ(t.canvas.Brush.Color, k.brushColor) << k.name;
        }
    }
}

TEST(Shapes, LinesKeepThePenPositionAndLeaveOutTheirEndPoint)
{
    TestCanvas t(6, 3);
    MoveTo(&t.canvas, 1, 1);
    LineTo(&t.canvas, 4, 1, clRed);
    EXPECT_EQ(t.canvas.PenPos(), TPoint(4, 1));
    EXPECT_EQ(t.at(0, 1), white);
    EXPECT_EQ(t.at(1, 1), opaque(clRed));
    EXPECT_EQ(t.at(3, 1), opaque(clRed));
    EXPECT_EQ(t.at(4, 1), white);
}

TEST(Shapes, FillRectOnADeviceContextGivesTheContextItsStateBack)
{
    QImage image(5, 5, QImage::Format_ARGB32);
    image.fill(white);
    DeviceContext dc(&image);
    LogPen pen;
    pen.Color = clGreen;
    pen.Style = PenStyle::Dot;
    dc.setPen(pen);
    LogBrush brush;
    brush.Color = clYellow;
    dc.setBrush(brush);
    dc.setTextColor(clBlue);

    FillRect(&dc, 1, 1, 3, 4, clRed);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.pixel(x, y), (x >= 1 && x < 3 && y >= 1 && y < 4) ? opaque(clRed) : white);
    EXPECT_EQ(dc.pen().Style, PenStyle::Dot);
    EXPECT_EQ(dc.pen().Color, clGreen);
    EXPECT_EQ(dc.brush().Color, clYellow);
    EXPECT_EQ(dc.textColor(), clBlue);
}
