// Test main shared by every test executable: GoogleTest inside a QApplication
// set up like the tool's own (classic "Windows" style, sans font at 8 pt), so
// widget tests see the same style and metrics as the running program.

#include "platform/applicationlook.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// Last: Xlib's macros (None, Bool, ...) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A display that is busy starting or serving many clients can refuse a
// connection for a moment; wait for it rather than failing the whole program.
void waitForDisplay()
{
    const QByteArray name = qgetenv("DISPLAY");
    if (name.isEmpty() || qgetenv("QT_QPA_PLATFORM") == "offscreen")
        return;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (Display* d = XOpenDisplay(name.constData())) {
            XCloseDisplay(d);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// Under scripts/with-wm --compositor the compositing manager starts beside the
// tests: wait until it owns its selection, so every test runs composited.
void waitForCompositor()
{
    if (qgetenv("LUX_EXPECT_COMPOSITOR") != "1")
        return;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return;
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(d));
    const Atom atom = XInternAtom(d, selection.constData(), False);
    for (int attempt = 0; attempt < 100 && XGetSelectionOwner(d, atom) == 0; ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // A compositor owns its selection before it has painted the screen: until
    // then a copy of the screen is all black, and a program starting at that
    // moment would take it for a desktop that gives no copies. Wait for the
    // first painted picture (bounded: a desktop may really be black).
    const Window root = DefaultRootWindow(d);
    const int width = DisplayWidth(d, DefaultScreen(d));
    const int height = DisplayHeight(d, DefaultScreen(d));
    for (int attempt = 0; attempt < 60; ++attempt) {
        XImage* image = XGetImage(d, root, 0, 0, width, height, AllPlanes, ZPixmap);
        bool painted = false;
        for (int y = 0; image && y < height && !painted; ++y)
            for (int x = 0; x < width && !painted; ++x)
                painted = XGetPixel(image, x, y) != 0;
        if (image)
            XDestroyImage(image);
        if (painted)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(d);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    waitForDisplay();
    waitForCompositor();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    ApplyToolLook();
    return RUN_ALL_TESTS();
}
