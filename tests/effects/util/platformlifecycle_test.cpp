#include "effects/util/platformhelpers.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>

namespace {

Display* x11Display()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// Takes the compositing manager's selection, as a compositor would, so that the
// start-up step finds translucent windows available. Returns 0 off X11.
Window pretendCompositorRuns()
{
    Display* display = x11Display();
    if (!display)
        return 0;
    const Window owner = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    XSetSelectionOwner(display, XInternAtom(display, name.constData(), False), owner, CurrentTime);
    XSync(display, False);
    return owner;
}

// Gives the selection up at once: other programs on the same test display must
// not go on believing a compositor runs.
void stopPretending(Window owner)
{
    if (Display* display = x11Display(); display && owner) {
        XDestroyWindow(display, owner);
        XSync(display, False);
    }
}

} // namespace

// One process, one start-up and one shut-down: the whole life cycle is one test.
TEST(PlatformHelpers, StartUpAndShutDownEachRunOnce)
{
    // Before start-up: every answer is the fallback.
    EXPECT_FALSE(IsWinNT());
    EXPECT_FALSE(IsWin2k());
    EXPECT_FALSE(IsWinXP());
    EXPECT_FALSE(UseThemes());
    EXPECT_EQ(themeModuleUsers(), 0);
    EXPECT_EQ(OpenThemeData, nullptr);
    QPlainTextEdit edit;
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SCROLLBARINFO info;
    EXPECT_EQ(MyGetScrollBarInfo(&edit, OBJID_VSCROLL, info), 0);
    EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_INVISIBLE);

    const Window owner = pretendCompositorRuns();
    startPlatformHelpers();
    stopPretending(owner);
    const bool compositor = owner != 0;
    EXPECT_TRUE(IsWinNT());
    EXPECT_FALSE(IsWinNT4());
    EXPECT_TRUE(IsWinXP());
    EXPECT_FALSE(IsMsImg());
    EXPECT_EQ(TransparentBltFunc, nullptr);
    EXPECT_EQ(UpdateLayeredWindow, nullptr);
    EXPECT_EQ(themeModuleUsers(), 1);
    EXPECT_NE(OpenThemeData, nullptr);
    EXPECT_FALSE(UseThemes()); // classic Windows style
    info = SCROLLBARINFO();
    EXPECT_EQ(MyGetScrollBarInfo(&edit, OBJID_VSCROLL, info), 1);
    EXPECT_EQ(IsWin2k(), compositor);
    if (compositor) {
        ASSERT_NE(SetLayeredWindowAttributes, nullptr);
        QWidget window;
        EXPECT_TRUE(SetLayeredWindowAttributes(&window, 0, 51, LWA_ALPHA));
        EXPECT_NEAR(window.windowOpacity(), 0.2, 0.01);
        EXPECT_FALSE(SetLayeredWindowAttributes(&window, 0x7F007F, 255, LWA_COLORKEY));
        QWidget child(&window);
        EXPECT_FALSE(SetLayeredWindowAttributes(&child, 0, 10, LWA_ALPHA)); // top-level windows only
    }

    // A second start-up changes nothing.
    startPlatformHelpers();
    EXPECT_EQ(themeModuleUsers(), 1);

    // Shut-down releases every hold, however many.
    AcquireThemeModule();
    AcquireThemeModule();
    stopPlatformHelpers();
    EXPECT_EQ(themeModuleUsers(), 0);
    EXPECT_FALSE(themeModuleLoaded());
    EXPECT_EQ(OpenThemeData, nullptr);
    EXPECT_TRUE(IsWinXP());
    info = SCROLLBARINFO();
    EXPECT_EQ(MyGetScrollBarInfo(&edit, OBJID_VSCROLL, info), 0);
    EXPECT_EQ(info.rgstate[0], STATE_SYSTEM_INVISIBLE);

    // Neither step runs a second time.
    startPlatformHelpers();
    EXPECT_EQ(themeModuleUsers(), 0);
    EXPECT_EQ(OpenThemeData, nullptr);
    stopPlatformHelpers();
    EXPECT_EQ(themeModuleUsers(), 0);
}
