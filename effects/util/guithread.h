#pragma once
// Windows, timers and the animation engine live on the application's GUI
// thread. Entry points that a program could call from elsewhere ask this
// first: from another thread (or before the application object exists) they
// say so and do nothing, instead of starting timers Qt refuses there and
// waiting forever for their ticks.

#include <QCoreApplication>
#include <QThread>
#include <QtGlobal>

// True on the GUI thread; otherwise warns, naming `what`, and returns false.
inline bool onGuiThread(const char* what)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        qWarning("%s: no QApplication exists yet; nothing done", what);
        return false;
    }
    if (QThread::currentThread() != app->thread()) {
        qWarning("%s: called from a thread other than the GUI thread; nothing done", what);
        return false;
    }
    return true;
}
