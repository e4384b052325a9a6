#include "platform/canvas.h"
#include "platform/devicecontext.h"
#include "tests/support/testsupport.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

QImage blank(int w, int h, QRgb fill = 0xFF000000u)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fill);
    return img;
}

} // namespace

TEST(DeviceContext, FillExcludesRightAndBottomEdges)
{
    QImage img = blank(10, 10);
    DeviceContext dc(&img);
    dc.fillSolidRect(TRect(2, 2, 5, 4), clWhite);
    int white = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            white += img.pixel(x, y) == 0xFFFFFFFFu;
    EXPECT_EQ(white, 3 * 2);
    EXPECT_EQ(img.pixel(4, 3), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(5, 3), 0xFF000000u);
}

TEST(DeviceContext, OriginAndClipDecideWhereDrawingLands)
{
    QImage img = blank(20, 20);
    DeviceContext dc(&img);
    dc.setWindowOrigin(TPoint(-5, -5)); // logical (0, 0) is device (5, 5)
    dc.setPixel(0, 0, clRed);
    EXPECT_EQ(img.pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(dc.getPixel(0, 0), 0x0000FFu);

    dc.intersectClipRect(TRect(0, 0, 3, 3)); // device (5, 5)-(8, 8)
    dc.fillSolidRect(TRect(-5, -5, 15, 15), clWhite);
    EXPECT_EQ(img.pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(7, 7), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(8, 8), 0xFF000000u);
    EXPECT_EQ(img.pixel(4, 5), 0xFF000000u);
    EXPECT_EQ(dc.clipBox(), TRect(0, 0, 3, 3));
}

TEST(DeviceContext, SaveAndRestoreBringBackOriginClipAndObjects)
{
    QImage img = blank(8, 8);
    DeviceContext dc(&img);
    const int level = dc.save();
    dc.setWindowOrigin(TPoint(3, 3));
    dc.intersectClipRect(TRect(3, 3, 4, 4));
    dc.setTextColor(clRed);
    EXPECT_TRUE(dc.restore(level));
    EXPECT_EQ(dc.windowOrigin(), TPoint(0, 0));
    EXPECT_FALSE(dc.clipRegion().has_value());
    EXPECT_EQ(dc.textColor(), clBlack);
    EXPECT_FALSE(dc.restore(-1));
}

TEST(DeviceContext, LineToLeavesOutTheEndPoint)
{
    QImage img = blank(10, 3);
    DeviceContext dc(&img);
    dc.setPen(LogPen{clWhite, 1, PenStyle::Solid});
    dc.moveTo(1, 1);
    dc.lineTo(6, 1);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(img.pixel(x, 1) == 0xFFFFFFFFu, x >= 1 && x < 6) << x;
    EXPECT_EQ(dc.penPosition(), TPoint(6, 1));
}

TEST(DeviceContext, RectangleOutlinesInsideItsBounds)
{
    QImage img = blank(6, 6);
    TCanvas canvas;
    DeviceContext dc(&img);
    canvas.SetHandle(&dc);
    canvas.Pen.Color = clWhite;
    canvas.Brush.Color = clRed;
    canvas.Rectangle(1, 1, 5, 5);
    EXPECT_EQ(img.pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(4, 4), 0xFFFFFFFFu);
    EXPECT_EQ(img.pixel(5, 5), 0xFF000000u);
    EXPECT_EQ(img.pixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(img.pixel(3, 3), 0xFFFF0000u);
}

TEST(DeviceContext, BlockCopiesKeepAlphaAndHandleOverlap)
{
    QImage img = blank(8, 1);
    for (int x = 0; x < 8; ++x)
        img.setPixel(x, 0, qRgba(x, 0, 0, 10 * x));
    DeviceContext dc(&img);
    BitBlt(&dc, 2, 0, 6, 1, &dc, 0, 0); // overlapping copy to the right
    for (int x = 2; x < 8; ++x)
        EXPECT_EQ(img.pixel(x, 0), qRgba(x - 2, 0, 0, 10 * (x - 2))) << x;

    // Nearest-neighbour doubling repeats each pixel, no smoothing.
    QImage src = blank(2, 1);
    src.setPixel(0, 0, 0xFF102030u);
    src.setPixel(1, 0, 0xFF405060u);
    QImage dst = blank(4, 1);
    DeviceContext s(&src), d(&dst);
    StretchBlt(&d, 0, 0, 4, 1, &s, 0, 0, 2, 1);
    EXPECT_EQ(dst.pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(dst.pixel(1, 0), 0xFF102030u);
    EXPECT_EQ(dst.pixel(2, 0), 0xFF405060u);
    EXPECT_EQ(dst.pixel(3, 0), 0xFF405060u);
}

TEST(WindowContext, DrawingRepaintsTheWidget)
{
    QWidget w;
    w.setWindowFlag(Qt::FramelessWindowHint);
    w.resize(40, 30);
    w.show();
    luxtest::processEventsFor(50);
    HDC dc = GetDC(&w);
    ASSERT_NE(dc, nullptr);
    dc->fillSolidRect(TRect(0, 0, 40, 30), clRed);
    ReleaseDC(&w, dc);
    luxtest::processEventsFor(50);
    const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(shown.pixel(39, 29), 0xFFFF0000u);
    DetachWindowSurface(&w);
    EXPECT_EQ(WindowSurfaceImage(&w), nullptr);
}
