#include "platform/screen.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class SolidWidget : public QWidget {
public:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(10, 200, 30));
    }
};

bool realScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

TEST(ScreenCapture, ReturnsWhatAShownWindowPainted)
{
    if (!realScreen())
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    SolidWidget w;
    w.setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    w.setGeometry(100, 120, 50, 40);
    w.show();
    luxtest::processEventsFor(300);
    const QImage shot = CaptureScreen(TRect(100, 120, 150, 160));
    ASSERT_EQ(shot.size(), QSize(50, 40));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(10, 200, 30));
    EXPECT_EQ(shot.pixel(49, 39), qRgb(10, 200, 30));
}

TEST(ScreenCapture, RectanglePastTheEdgeKeepsItsFullSize)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect geo = screen->geometry();
    const TRect r(geo.right() - 9, geo.bottom() - 9, geo.right() + 21, geo.bottom() + 11);
    const QImage shot = CaptureScreen(r);
    EXPECT_EQ(shot.size(), QSize(30, 20));
    // The part beyond the screen is black.
    EXPECT_EQ(shot.pixel(29, 19), 0xFF000000u);
}

TEST(SystemMetrics, ComeFromTheStyleAndScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen->geometry().width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen->geometry().height());
    EXPECT_GT(GetSystemMetrics(SM_CXVSCROLL), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSIZE) + 1, GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), int(QGuiApplication::screens().size()));
    EXPECT_EQ(GetSystemMetrics(9999), 0);
}
