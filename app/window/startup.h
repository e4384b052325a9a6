#pragma once
// Start-up of the desktop tool: the application's look, then its windows in
// the order the program creates them.

#include "platform/applicationlook.h"
#include "app/window/form1.h"

#include <QDialog>

#include <memory>

// The windows the application owns. The About box is destroyed first.
struct ToolWindows {
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<QDialog> AboutBox;
};

// Creates the main window (its FormCreate loads the settings and opens the
// port, so a port error shows before the window does), then the About box,
// hidden. The caller shows Form1 and runs the event loop.
ToolWindows CreateToolWindows(FormSetup setup = {});
