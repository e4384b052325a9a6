#include "platformhelpers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

TEST(Monitors, NearestScreenForPointsAndRectangles)
{
    // Two screens side by side, the second lower and smaller.
    const std::vector<TRect> screens{TRect(0, 0, 1920, 1080), TRect(1920, 200, 3200, 1224)};
    EXPECT_EQ(nearestMonitorToPoint(screens, TPoint(100, 100)), 0);
    EXPECT_EQ(nearestMonitorToPoint(screens, TPoint(1920, 500)), 1);  // left edge belongs to it
    EXPECT_EQ(nearestMonitorToPoint(screens, TPoint(1919, 500)), 0);
    EXPECT_EQ(nearestMonitorToPoint(screens, TPoint(5000, 700)), 1);  // right of everything
    EXPECT_EQ(nearestMonitorToPoint(screens, TPoint(-300, -300)), 0); // above-left of everything
    EXPECT_EQ(nearestMonitorToPoint(screens, TPoint(2500, 0)), 1);    // in the gap above screen 1
    // Rectangles go to the screen they overlap most, else the nearest.
    EXPECT_EQ(nearestMonitorToRect(screens, TRect(1800, 300, 1950, 400)), 0);
    EXPECT_EQ(nearestMonitorToRect(screens, TRect(1890, 300, 2100, 400)), 1);
    EXPECT_EQ(nearestMonitorToRect(screens, TRect(4000, 2000, 4100, 2100)), 1);
    EXPECT_EQ(nearestMonitorToRect(screens, TRect(-500, 500, -400, 600)), 0);
    EXPECT_EQ(nearestMonitorToRect(screens, TRect(3000, 100, 3000, 100)), 1); // empty: its corner decides
}

TEST(Monitors, OneScreenAnswersThePrimaryForEverything)
{
    startPlatformHelpers();
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    if (QGuiApplication::screens().size() != 1)
        GTEST_SKIP() << "needs exactly one screen";
    const TRect whole = TRect::fromQRect(screen->geometry());
    const TRect work = TRect::fromQRect(screen->availableGeometry());
    EXPECT_EQ(GetRectOfPrimaryMonitor(false), whole);
    EXPECT_EQ(GetRectOfPrimaryMonitor(true), work);
    EXPECT_TRUE(work.Left >= whole.Left && work.Right <= whole.Right);

    QWidget window;
    window.setGeometry(-4000, -4000, 50, 50); // off every screen
    for (bool workArea : {false, true}) {
        const TRect expected = workArea ? work : whole;
        EXPECT_EQ(GetRectOfMonitorContainingPoint(TPoint(-10000, 50000), workArea), expected);
        EXPECT_EQ(GetRectOfMonitorContainingPoint(TPoint(5, 5), workArea), expected);
        EXPECT_EQ(GetRectOfMonitorContainingRect(TRect(90000, 90000, 90100, 90100), workArea), expected);
        EXPECT_EQ(GetRectOfMonitorContainingWindow(&window, workArea), expected);
        EXPECT_EQ(GetRectOfMonitorContainingWindow(nullptr, workArea), expected);
    }
}
