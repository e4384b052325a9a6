// Text routines: measuring, fitting with "...", the calculated-rectangle
// write-back, the background mode, and the two turns of vertical text.

#include "effects/paint/canvaspainting.h"
#include "tests/effects/paint/painttestcanvas.h"
#include "effects/util/platformhelpers.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb paper = 0xFF336699;

class Text : public testing::Test {
protected:
    static void SetUpTestSuite() { startPlatformHelpers(); } // as the application does at start-up
};

} // namespace

TEST_F(Text, FormatStrKeepsWhatFitsAndCutsTheRestBeforeDots)
{
    TestCanvas t(1, 1);
    const QString s = QStringLiteral("Transition effects");
    const QString dots = QStringLiteral("...");
    const int full = t.dc.textExtent(s).cx;
    EXPECT_EQ(FormatStr(&t.dc, s, full), s);
    EXPECT_EQ(FormatStr(&t.dc, s, 0), dots); // the dots alone, though wider than 0
    for (int width = 1; width < full; ++width) {
        const QString kept = FormatStr(&t.dc, s, width).chopped(3);
        ASSERT_TRUE(s.startsWith(kept)) << width;
        ASSERT_TRUE(kept.isEmpty() || t.dc.textExtent(kept + dots).cx <= width) << width;
        // The longest such prefix: one more character with the dots would not fit.
        ASSERT_GT(t.dc.textExtent(s.left(kept.size() + 1) + dots).cx, width) << width;
    }
    // A character outside the basic plane is never split before the dots.
    const QString clefs = QStringLiteral("a") + QString::fromUcs4(U"\U0001D11E\U0001D11E") + QStringLiteral("bc");
    for (int width = 0; width < t.dc.textExtent(clefs).cx; ++width) {
        const QString kept = FormatStr(&t.dc, clefs, width).chopped(3);
        ASSERT_TRUE(kept.isEmpty() || !kept.back().isHighSurrogate()) << width;
    }
}

TEST_F(Text, WidthAndHeightMeasureWithTheCanvasFont)
{
    TestCanvas t(1, 1);
    t.canvas.Font.Font.setPointSize(20);
    DeviceContext probe(&t.image);
    probe.setFont(t.canvas.Font.Font);
    const QString s = QStringLiteral("Hello, board");
    EXPECT_EQ(TextWidth(&t.canvas, s, 0), probe.textExtent(s).cx);
    EXPECT_EQ(TextHeight(&t.canvas, s), probe.textExtent(s).cy);

    // Flags: the right edge of the calculated rectangle of the 8-bit form. Every
    // byte of characters that take several is measured, and a decomposed accent
    // measures as the composed letter.
    const unsigned flags = DT_SINGLELINE | DT_NOPREFIX;
    for (const QString& text : {s, QString::fromUtf8("Gr\u00f6\u00dfe \u00e9t\u00e9 \u20ac")}) {
        TRect calc(0, 0, 0, 0);
        probe.drawText(text, calc, flags | DT_CALCRECT);
        EXPECT_EQ(TextWidth(&t.canvas, text, int(flags)), calc.Right) << text.toStdString();
    }
    EXPECT_EQ(TextWidth(&t.canvas, QString::fromUtf8("e\u0301"), int(flags)),
              TextWidth(&t.canvas, QString::fromUtf8("\u00e9"), int(flags)));
}

TEST_F(Text, DrawTextWritesTheCalculatedRectangleBackAndDrawsWithoutBackground)
{
    TestCanvas t(80, 30);
    const QString s = QStringLiteral("Port");
    TRect r(5, 6, 5, 6);
    const int height = DrawText(&t.canvas, s, r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(height, 0);
    EXPECT_EQ(r, TRect(5, 6, 5 + TextWidth(&t.canvas, s, int(DT_SINGLELINE)), 6 + height));
    EXPECT_EQ(t.image, TestCanvas(80, 30).image) << "measuring drew something";

    // The canvas brush is solid yellow, but text has no background; the ink stays
    // inside the text's own extent.
    t.canvas.Brush.Color = clYellow;
    t.canvas.Font.Color = clBlue;
    EXPECT_EQ(DrawText(&t.canvas, s, 3, 4), TextHeight(&t.canvas, s));
    const TRect box(3, 4, 3 + TextWidth(&t.canvas, s, 0), 4 + TextHeight(&t.canvas, s));
    int inked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const QRgb p = t.at(x, y);
            ASSERT_NE(p, opaque(clYellow));
            inked += p != white ? 1 : 0;
            ASSERT_TRUE(p == white || (PtInRect(box, TPoint(x, y)) && qBlue(p) >= qRed(p))) << x << "," << y;
        }
    EXPECT_GT(inked, 10);
}

TEST_F(Text, VerticalTextTurnsEitherWayAndOnlyTextPixelsReachTheCanvas)
{
    const TRect r(2, 3, 22, 63); // 20 wide, 60 high
    const QString s = QStringLiteral("Vertical");
    TestCanvas cw(30, 70, paper), ccw(30, 70, paper);
    const int a = DrawVerticalText(&cw.canvas, s, r, DT_SINGLELINE | DT_VCENTER, true);
    EXPECT_EQ(DrawVerticalText(&ccw.canvas, s, r, DT_SINGLELINE | DT_VCENTER, false), a);
    EXPECT_GT(a, 0);

    // Counter-clockwise is the clockwise result turned by half a turn inside R, and
    // only window-text pixels land, all inside R.
    const QRgb text = opaque(ColorToRGB(clWindowText));
    int inked = 0, firstRow = -1;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 30; ++x) {
            const QRgb p = cw.at(x, y);
            ASSERT_TRUE(p == paper || (p == text && PtInRect(r, TPoint(x, y)))) << x << "," << y;
            if (p == text && firstRow < 0)
                firstRow = y;
            inked += p == text ? 1 : 0;
            if (PtInRect(r, TPoint(x, y))) {
                ASSERT_EQ(ccw.at(r.Left + r.Right - 1 - x, r.Top + r.Bottom - 1 - y), p) << x << "," << y;
            }
        }
    EXPECT_GT(inked, 20);
    // Clockwise, the text reads downwards: its first letter starts at R's top.
    EXPECT_LT(firstRow - r.Top, 5);

    // An empty text paints nothing and returns what drawing an empty text returns.
    TestCanvas e(30, 70, paper);
    TRect box(0, 0, 60, 20);
    EXPECT_EQ(DrawVerticalText(&e.canvas, QString(), r, DT_SINGLELINE, true), e.dc.drawText(QString(), box, DT_SINGLELINE));
    EXPECT_EQ(e.image, TestCanvas(30, 70, paper).image);
}
