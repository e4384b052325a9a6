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
    try {
        // The transition effects start before any window exists (the splash
        // window and the About box play their transitions with them) and stop
        // after the last window has gone: declared first, destroyed last.
        LuxSubsystem effects;
        FormSetup setup;
        setup.showSplash = ShowSplash;

        const ToolWindows windows = CreateToolWindows(std::move(setup));
        windows.Form1->show();
        // A kill or a closed terminal ends the program as Quit does: the
        // port is closed and its lock file removed.
        CatchEndSignals(&app, [] { QApplication::quit(); });
        return QApplication::exec();
    } catch (const std::exception& failure) {
        ShowModalMessage(QString::fromLocal8Bit(failure.what()), QString());
        return 1;
    }
}
