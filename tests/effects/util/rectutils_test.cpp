#include "effects/util/rectutils.h"

#include <QPolygon>
#include <gtest/gtest.h>

#include <vector>

TEST(RectArithmetic, SizesAndEmptinessKeepTheirSign)
{
    EXPECT_TRUE(IsRectEmpty(TRect(5, 5, 5, 10)));
    EXPECT_TRUE(IsRectEmpty(TRect(10, 0, 0, 10)));
    EXPECT_EQ(RectWidth(TRect(10, 0, 0, 10)), -10);
    EXPECT_FALSE(IsRectEmpty(TRect(0, 0, 1, 1)));
    EXPECT_EQ(RectOffset(TRect(10, 10, 20, 20), 3), TRect(7, 7, 23, 23));
    EXPECT_EQ(RectOffset(TRect(10, 10, 20, 20), -3), TRect(13, 13, 17, 17));
    EXPECT_EQ(MarginRect(TRect(0, 0, 100, 50), TRect(1, 2, 3, 4)), TRect(1, 2, 97, 46));
    EXPECT_TRUE(RectInRect(TRect(0, 0, 10, 10), TRect(0, 0, 10, 10)));
    EXPECT_FALSE(RectInRect(TRect(0, 0, 11, 10), TRect(0, 0, 10, 10)));
}

TEST(RectArithmetic, CentringTruncatesAndSticksOutWhenBoundsAreNarrower)
{
    TRect r(0, 0, 10, 10);
    EXPECT_EQ(RectCenter(r, TRect(0, 0, 25, 25)), TRect(7, 7, 17, 17));
    EXPECT_EQ(r, TRect(7, 7, 17, 17)); // changed in place too
    r = TRect(0, 0, 10, 10);
    EXPECT_EQ(RectCenter(r, TRect(0, 0, 5, 5)), TRect(-2, -2, 8, 8));
    r = TRect(3, 4, 13, 14);
    EXPECT_EQ(RectVCenter(r, TRect(100, 100, 200, 130)), TRect(100, 110, 110, 120));
    r = TRect(3, 4, 13, 14);
    EXPECT_EQ(RectHCenter(r, TRect(100, 100, 200, 130)), TRect(145, 100, 155, 110));
    // Truncation toward zero: (4 - 9) / 2 = -2, not -3.
    r = TRect(0, 0, 9, 1);
    EXPECT_EQ(RectHCenter(r, TRect(50, 0, 54, 1)), TRect(48, 0, 57, 1));
    // R and Bounds may be the same rectangle.
    r = TRect(10, 20, 30, 60);
    EXPECT_EQ(RectCenter(r, r), TRect(10, 20, 30, 60));
}

TEST(PointInPolygon, LeftAndTopEdgesAreInsideRightAndBottomOutside)
{
    const std::vector<TPoint> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(PointInPolygon(TPoint(0, 0), square.data(), 3));
    EXPECT_TRUE(PointInPolygon(TPoint(0, 9), square.data(), 3));
    EXPECT_TRUE(PointInPolygon(TPoint(9, 9), square.data(), 3));
    EXPECT_FALSE(PointInPolygon(TPoint(10, 5), square.data(), 3));
    EXPECT_FALSE(PointInPolygon(TPoint(5, 10), square.data(), 3));
    EXPECT_FALSE(PointInPolygon(TPoint(-1, 5), square.data(), 3));
    const std::vector<TPoint> reversed(square.rbegin(), square.rend()); // wound the other way
    EXPECT_TRUE(PointInPolygon(TPoint(0, 0), reversed.data(), 3));
    // A diagonal right edge: (5, 5) lies on it and is outside, (4, 5) inside.
    const std::vector<TPoint> triangle{{0, 0}, {10, 10}, {0, 10}};
    EXPECT_FALSE(PointInPolygon(TPoint(5, 5), triangle.data(), 2));
    EXPECT_TRUE(PointInPolygon(TPoint(4, 5), triangle.data(), 2));
    // Too few vertices enclose nothing.
    EXPECT_FALSE(PointInPolygon(TPoint(0, 0), square.data(), 1));
}

TEST(PointInPolygon, WindingRuleFillsTheCentreOfAPentagram)
{
    // A star drawn in one stroke: the even-odd rule would leave its centre empty.
    const std::vector<TPoint> star{{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    EXPECT_TRUE(PointInPolygon(TPoint(50, 50), star.data(), 4));
    EXPECT_FALSE(QPolygon({QPoint(50, 0), QPoint(79, 90), QPoint(2, 35), QPoint(98, 35), QPoint(21, 90)})
                     .containsPoint(QPoint(50, 50), Qt::OddEvenFill));
    EXPECT_FALSE(PointInPolygon(TPoint(5, 80), star.data(), 4));
}
