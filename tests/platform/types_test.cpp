#include "platform/arith.h"
#include "platform/color.h"
#include "platform/types.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(Rect, QRectConversionKeepsCoveredPixels)
{
    const TRect r(2, 3, 12, 8);
    const QRect q = r.toQRect();
    EXPECT_EQ(q.left(), 2);
    EXPECT_EQ(q.right(), 11);
    EXPECT_EQ(q.width(), 10);
    EXPECT_EQ(q.height(), 5);
    EXPECT_EQ(TRect::fromQRect(q), r);
    // An empty rectangle stays empty both ways.
    EXPECT_TRUE(TRect::fromQRect(TRect(5, 5, 5, 9).toQRect()).Width() == 0);
}

TEST(Rect, IntersectAndUnionTreatEdgesAsExclusive)
{
    TRect out;
    EXPECT_FALSE(IntersectRect(out, TRect(0, 0, 10, 10), TRect(10, 0, 20, 10)));
    EXPECT_EQ(out, TRect());
    EXPECT_TRUE(IntersectRect(out, TRect(0, 0, 10, 10), TRect(9, -5, 20, 5)));
    EXPECT_EQ(out, TRect(9, 0, 10, 5));
    EXPECT_TRUE(UnionRect(out, TRect(), TRect(1, 2, 3, 4)));
    EXPECT_EQ(out, TRect(1, 2, 3, 4));
    EXPECT_FALSE(PtInRect(TRect(0, 0, 10, 10), TPoint(10, 5)));
    EXPECT_TRUE(PtInRect(TRect(0, 0, 10, 10), TPoint(0, 9)));
}

TEST(MulDiv, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(5, 1, 2), 3);     // 2.5 -> 3
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);   // -2.5 -> -3
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(-5, -1, -2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);     // 2.33 -> 2
    EXPECT_EQ(MulDiv(8, 1, 3), 3);     // 2.67 -> 3
    EXPECT_EQ(MulDiv(-8, 1, 3), -3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    // The intermediate product does not overflow 32 bits.
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
    EXPECT_EQ(MulDiv(INT32_MAX, 2, 2), INT32_MAX);
    // A result that does not fit gives -1.
    EXPECT_EQ(MulDiv(INT32_MAX, 4, 2), -1);
}

TEST(Rounding, HalvesGoToEven)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(2.9), 2);
}

TEST(Color, SystemColoursComeFromThePalette)
{
    const QColor button = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(uint8_t(button.red()), uint8_t(button.green()), uint8_t(button.blue())));
    EXPECT_EQ(ColorToRGB(clWindowFrame), 0u);
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(TColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(QColorToTColor(QColor(1, 2, 3)), TColor(0x030201));
    EXPECT_LT(clBtnFace, 0);
}
