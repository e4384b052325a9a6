#include "effects/util/cpufeatures.h"
#include "effects/util/keyboardrepeat.h"
#include "effects/util/mousecapture.h"
#include "effects/util/pixelformat.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>

#include <memory>

#include <X11/XKBlib.h>

namespace {

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

TEST(ProcessorAndScreen, MmxProbeAndPixelFormatOrdinals)
{
#if defined(__x86_64__)
    EXPECT_TRUE(HasMMX()); // every x86-64 processor has MMX
#endif

    EXPECT_EQ(pixelFormatForBitsPerPixel(15), pf15bit);
    EXPECT_EQ(pixelFormatForBitsPerPixel(2), pfCustom);
    const uint8_t format = GetPixelFormat();
    EXPECT_EQ(CPixelFormat, format);
    if (onX11()) {
        EXPECT_EQ(format, pf32bit) << "a depth-24 X screen keeps 32 bits per pixel";
    }
}

TEST(MouseCapture, NestsAndReleasesOnlyItsOwnCapture)
{
    auto w1 = std::make_unique<QWidget>();
    auto w2 = std::make_unique<QWidget>();
    w1->setGeometry(10, 10, 50, 50);
    w2->setGeometry(80, 10, 50, 50);
    w1->show();
    w2->show();
    luxtest::processEventsFor(50);

    CaptureMouse(w1.get());
    CaptureMouse(w2.get()); // nested: only counts
    EXPECT_EQ(CaptureCount, 2);
    EXPECT_EQ(CaptureHandle.data(), w1.get());
    EndCapture();
    EXPECT_EQ(QWidget::mouseGrabber(), w1.get());
    EndCapture();
    EXPECT_EQ(CaptureCount, 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(CaptureHandle.isNull());

    // Someone else took the mouse meanwhile: the final EndCapture leaves that alone.
    CaptureMouse(w1.get());
    w2->grabMouse();
    EndCapture();
    EXPECT_EQ(QWidget::mouseGrabber(), w2.get());
    EXPECT_TRUE(CaptureHandle.isNull());
    w2->releaseMouse();

    // An unmatched EndCapture goes negative, and the next CaptureMouse does not capture.
    EndCapture();
    EXPECT_EQ(CaptureCount, -1);
    CaptureMouse(w1.get());
    EXPECT_EQ(CaptureCount, 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(CaptureHandle.isNull());

    // A captured window that goes away leaves no dangling handle behind.
    CaptureMouse(w2.get());
    w2.reset();
    EXPECT_TRUE(CaptureHandle.isNull());
    EndCapture();
    EXPECT_EQ(CaptureCount, 0);
}

TEST(KeyboardRepeat, SettingsScalesAndTheirNearestMatches)
{
    EXPECT_EQ(keyboardDelayForSetting(0), 200);
    EXPECT_EQ(keyboardDelayForSetting(3), 800);
    EXPECT_EQ(keyboardSpeedForSetting(0), 435);
    EXPECT_EQ(keyboardSpeedForSetting(31), 14);
    EXPECT_EQ(keyboardDelaySetting(660), 2); // the X server's default delay -> 600 ms
    EXPECT_EQ(keyboardDelaySetting(5000), 3);
    EXPECT_EQ(keyboardSpeedSetting(40), 10); // 25 repeats a second -> 39.53, rounded 40
    EXPECT_EQ(keyboardSpeedSetting(1), 29);  // 29..31 all give 14 ms; the slowest wins
    // Every setting's own interval maps back to a setting with that interval.
    for (int v = 0; v <= 31; ++v)
        EXPECT_EQ(keyboardSpeedForSetting(keyboardSpeedSetting(keyboardSpeedForSetting(v))), keyboardSpeedForSetting(v)) << v;
}

TEST(KeyboardRepeat, FollowsTheXServersRepeatSettings)
{
    if (!onX11())
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    Display* display = x11->display();
    unsigned int oldDelay = 0, oldInterval = 0;
    ASSERT_TRUE(XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &oldDelay, &oldInterval));

    ASSERT_TRUE(XkbSetAutoRepeatRate(display, XkbUseCoreKbd, 250, 33));
    XSync(display, False);
    EXPECT_EQ(platformKeyRepeat().delayMs, 250);
    EXPECT_EQ(GetKeyBoardDelayInterval(), 200);
    EXPECT_EQ(GetKeyBoardSpeedInterval(), 33);

    ASSERT_TRUE(XkbSetAutoRepeatRate(display, XkbUseCoreKbd, 900, 500));
    XSync(display, False);
    EXPECT_EQ(GetKeyBoardDelayInterval(), 800);
    EXPECT_EQ(GetKeyBoardSpeedInterval(), 435);

    XkbSetAutoRepeatRate(display, XkbUseCoreKbd, oldDelay, oldInterval);
    XSync(display, False);
}
