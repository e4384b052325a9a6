// Entry point of the desktop tool.

#include "app/splash/form3.h"
#include "effects/forms/luxstartup.h"
#include "app/window/messagebox.h"
#include "app/window/startup.h"
#include "app/transfer/endsignals.h"

#include <QApplication>
#include <QIcon>

#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ApplyToolLook();
    // The menu entry's name and icon, so the window system shows the window as
    // the entry that started it.
    QGuiApplication::setDesktopFileName(QStringLiteral("flashupdate"));
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/flashupdate-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    // A kill or a closed terminal ends the program as Quit does: the port is
    // closed and its lock file removed. Caught from the start, as the port
    // opens before the window shows; one that comes before the main loop
    // runs ends the program as soon as the windows exist.
    bool ending = false;
    CatchEndSignals(&app, [&ending] {
        ending = true;
        QApplication::exit(0);
    });
    try {
        // The transition effects start before any window exists (the splash
        // window and the About box play their transitions with them) and stop
        // after the last window has gone: declared first, destroyed last.
        LuxSubsystem effects;
        FormSetup setup;
        setup.showSplash = ShowSplash;

        const ToolWindows windows = CreateToolWindows(std::move(setup));
        if (ending)
            return 0;
        windows.Form1->show();
        return QApplication::exec();
    } catch (const std::exception& failure) {
        ShowModalMessage(QString::fromLocal8Bit(failure.what()), QString());
        return 1;
    }
}
