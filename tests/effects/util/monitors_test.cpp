#include "effects/util/platformhelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
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

// Runs the two-screen check in a child process on Qt's offscreen platform, which
// can be given several screens; the X test server has only one.
TEST(Monitors, SeveralScreensAnswerTheNearestOne)
{
    startPlatformHelpers();
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (!qEnvironmentVariableIsSet("LUX_TWO_SCREENS")) {
        QTemporaryDir dir;
        QFile config(dir.filePath(QStringLiteral("screens.json")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(R"({"screens": [
            {"name": "left", "x": 0, "y": 0, "width": 800, "height": 600, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "right", "x": 800, "y": 100, "width": 640, "height": 480, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        config.close();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUX_TWO_SCREENS"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config.fileName());
        env.remove(QStringLiteral("DISPLAY"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=Monitors.SeveralScreensAnswerTheNearestOne")});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        return;
    }
    ASSERT_EQ(screens.size(), 2);
    for (QScreen* screen : screens) {
        const QRect g = screen->geometry();
        EXPECT_EQ(GetRectOfMonitorContainingPoint(TPoint::fromQPoint(g.center()), false), TRect::fromQRect(g));
        EXPECT_EQ(GetRectOfMonitorContainingRect(TRect(g.left(), g.top(), g.left() + 10, g.top() + 10), true),
            TRect::fromQRect(screen->availableGeometry()));
    }
    const TRect right(800, 100, 1440, 580);
    EXPECT_EQ(GetRectOfMonitorContainingPoint(TPoint(9000, 300), false), right); // beyond every screen
    EXPECT_EQ(GetRectOfMonitorContainingPoint(TPoint(1000, 50), false), right);  // above the right one
    EXPECT_EQ(GetRectOfMonitorContainingRect(TRect(700, 200, 1000, 260), false), right); // overlaps it most
    QWidget window;
    window.setGeometry(1200, 300, 100, 100);
    EXPECT_EQ(GetRectOfMonitorContainingWindow(&window, false), right);
    EXPECT_EQ(GetRectOfPrimaryMonitor(false), TRect(0, 0, 800, 600));
}
