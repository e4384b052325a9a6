// Test main shared by every test executable: GoogleTest inside a QApplication
// set up like the tool's own (classic "Windows" style, sans font at 8 pt), so
// widget tests see the same style and metrics as the running program.

#include "testsupport.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    luxtest::applyToolLook();
    return RUN_ALL_TESTS();
}
