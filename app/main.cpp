// Entry point of the desktop tool.

#include "messagebox.h"
#include "startup.h"

#include <QApplication>

#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ApplyToolLook();
    try {
        // Start-up of the transition effects goes here, before any window
        // exists: the splash window and the About box play their transitions
        // with it. The splash window itself is shown through FormSetup::showSplash.
        FormSetup setup;

        const ToolWindows windows = CreateToolWindows(std::move(setup));
        windows.Form1->show();
        return QApplication::exec();
    } catch (const std::exception& failure) {
        ShowModalMessage(QString::fromLocal8Bit(failure.what()), QString());
        return 1;
    }
}
