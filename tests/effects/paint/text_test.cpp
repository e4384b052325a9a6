// Text routines: measuring, fitting with "...", the calculated-rectangle
// write-back, the background mode, and the two turns of vertical text.

#include "canvaspainting.h"
#include "painttestcanvas.h"
#include "platformhelpers.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb white = 0xFFFFFFFF;

class Text : public testing::Test {
protected:
    static void SetUpTestSuite() { startPlatformHelpers(); } // as the application does at start-up
};

bool hasLoneSurrogate(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i).isHighSurrogate() && (i + 1 == s.size() || !s.at(i + 1).isLowSurrogate()))
            return true;
        if (s.at(i).isLowSurrogate() && (i == 0 || !s.at(i - 1).isHighSurrogate()))
            return true;
    }
    return false;
}

} // namespace

TEST_F(Text, FormatStrKeepsWhatFitsAndCutsTheRestBeforeDots)
{
    TestCanvas t(10, 10);
    const QString s = QStringLiteral("Transition effects");
    const int full = t.dc.textExtent(s).cx;
    EXPECT_EQ(FormatStr(&t.dc, s, full), s);
    EXPECT_EQ(FormatStr(&t.dc, s, full + 50), s);
    EXPECT_EQ(FormatStr(&t.dc, QString(), 0), QString());

    for (int width = 0; width < full; ++width) {
        const QString r = FormatStr(&t.dc, s, width);
        ASSERT_TRUE(r.endsWith(QStringLiteral("..."))) << width;
        const QString kept = r.chopped(3);
        ASSERT_TRUE(s.startsWith(kept)) << width;
        if (!kept.isEmpty()) {
            ASSERT_LE(t.dc.textExtent(r).cx, width) << width;
        }
        // The prefix is the longest: one more character with the dots would not fit.
        ASSERT_GT(t.dc.textExtent(s.left(kept.size() + 1) + QStringLiteral("...")).cx, width) << width;
    }
    // Narrower than the dots themselves: the dots alone.
    EXPECT_EQ(FormatStr(&t.dc, s, 0), QStringLiteral("..."));

    // A character outside the basic plane is never split before the dots.
    const QString wide = QStringLiteral("a") + QString::fromUcs4(U"\U0001D11E\U0001D11E") + QStringLiteral("bc");
    for (int width = 0; width < t.dc.textExtent(wide).cx; ++width)
        ASSERT_FALSE(hasLoneSurrogate(FormatStr(&t.dc, wide, width))) << width;
}

TEST_F(Text, WidthAndHeightMeasureWithTheCanvasFont)
{
    TestCanvas t(10, 10);
    QFont big = t.canvas.Font.Font;
    big.setPointSize(20);
    t.canvas.Font.Font = big;
    const QString s = QStringLiteral("Hello, board");
    DeviceContext probe(&t.image);
    probe.setFont(big);
    EXPECT_EQ(TextWidth(&t.canvas, s, 0), probe.textExtent(s).cx);
    EXPECT_EQ(TextHeight(&t.canvas, s), probe.textExtent(s).cy);

    // Flags: the right edge of the calculated rectangle of the 8-bit form.
    const unsigned flags = DT_SINGLELINE | DT_NOPREFIX;
    TRect calc(0, 0, 0, 0);
    probe.drawText(s, calc, flags | DT_CALCRECT);
    EXPECT_EQ(TextWidth(&t.canvas, s, int(flags)), calc.Right);

    // Characters that take several bytes in the locale's character set are all
    // measured, and a decomposed accent measures like the composed letter.
    const QString accented = QString::fromUtf8("Gr\u00f6\u00dfe \u00e9t\u00e9 \u20ac");
    calc = TRect(0, 0, 0, 0);
    probe.drawText(accented, calc, flags | DT_CALCRECT);
    EXPECT_EQ(TextWidth(&t.canvas, accented, int(flags)), calc.Right);
    EXPECT_EQ(TextWidth(&t.canvas, QString::fromUtf8("e\u0301"), int(flags)),
              TextWidth(&t.canvas, QString::fromUtf8("\u00e9"), int(flags)));
}

TEST_F(Text, DrawTextWritesTheCalculatedRectangleBackAndDrawsWithoutBackground)
{
    TestCanvas t(80, 30);
    const QString s = QStringLiteral("Port");
    TRect r(5, 6, 5, 6);
    const int height = DrawText(&t.canvas, s, r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Left, 5);
    EXPECT_EQ(r.Top, 6);
    EXPECT_EQ(r.Right, 5 + TextWidth(&t.canvas, s, int(DT_SINGLELINE)));
    EXPECT_EQ(r.Bottom, 6 + height);
    EXPECT_GT(height, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(t.at(x, y), white) << "measuring drew something";

    // The canvas brush is solid yellow, but text has no background.
    t.canvas.Brush.Color = clYellow;
    t.canvas.Font.Color = clBlue;
    EXPECT_EQ(DrawText(&t.canvas, s, 3, 4), TextHeight(&t.canvas, s));
    const TRect box(3, 4, 3 + TextWidth(&t.canvas, s, 0), 4 + TextHeight(&t.canvas, s));
    int inked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const QRgb p = t.at(x, y);
            ASSERT_NE(p, opaque(clYellow));
            if (p != white) {
                ++inked;
                ASSERT_TRUE(PtInRect(box, TPoint(x, y))) << x << "," << y;
                ASSERT_GE(qBlue(p), qRed(p)) << "text is in the font colour";
            }
        }
    EXPECT_GT(inked, 10);
}

TEST_F(Text, VerticalTextTurnsEitherWayAndOnlyTextPixelsReachTheCanvas)
{
    const TRect r(2, 3, 22, 63); // 20 wide, 60 high
    const QString s = QStringLiteral("Vertical");
    TestCanvas cw(30, 70, 0xFF336699);
    TestCanvas ccw(30, 70, 0xFF336699);
    const int a = DrawVerticalText(&cw.canvas, s, r, DT_SINGLELINE | DT_VCENTER, true);
    const int b = DrawVerticalText(&ccw.canvas, s, r, DT_SINGLELINE | DT_VCENTER, false);
    EXPECT_EQ(a, b);
    EXPECT_GT(a, 0);

    // Counter-clockwise is the clockwise result turned by half a turn inside R.
    const QRgb text = opaque(ColorToRGB(clWindowText));
    int inked = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 30; ++x) {
            const QRgb p = cw.at(x, y);
            if (!PtInRect(r, TPoint(x, y))) {
                ASSERT_EQ(p, 0xFF336699u);
                ASSERT_EQ(ccw.at(x, y), 0xFF336699u);
                continue;
            }
            ASSERT_TRUE(p == 0xFF336699u || p == text) << x << "," << y;
            inked += p == text ? 1 : 0;
            const int u = x - r.Left, v = y - r.Top;
            ASSERT_EQ(ccw.at(r.Left + (r.Width() - 1 - u), r.Top + (r.Height() - 1 - v)), p) << x << "," << y;
        }
    EXPECT_GT(inked, 20);

    // Clockwise, the text's top faces right: its first letter sits near R's top.
    int firstRow = -1;
    for (int y = r.Top; y < r.Bottom && firstRow < 0; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (cw.at(x, y) == text) {
                firstRow = y;
                break;
            }
    EXPECT_GE(firstRow, r.Top);
    EXPECT_LT(firstRow, r.Top + 5);

    // An empty text paints nothing and returns what drawing an empty text returns.
    TestCanvas e(30, 70);
    TRect box(0, 0, 60, 20);
    QImage scratch(60, 20, QImage::Format_ARGB32);
    DeviceContext dc(&scratch);
    EXPECT_EQ(DrawVerticalText(&e.canvas, QString(), r, DT_SINGLELINE, true), dc.drawText(QString(), box, DT_SINGLELINE));
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(e.at(x, y), white);
}
