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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    waitForDisplay();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    ApplyToolLook();
    return RUN_ALL_TESTS();
}
