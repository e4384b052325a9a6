#include "app/splash/windowplacement.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QWidget>

QScreen* StartupScreen()
{
    if (QScreen* under = QGuiApplication::screenAt(QCursor::pos()))
        return under;
    return QGuiApplication::primaryScreen();
}

QScreen* MainWindowScreen(const QWidget* box)
{
    const QWidget* active = QApplication::activeWindow();
    if (active && active != box)
        return active->screen();
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != box && window->isVisible() && window->windowType() == Qt::Window)
            return window->screen();
    }
    return QGuiApplication::primaryScreen();
}

void CentreOnScreen(QWidget* window, QScreen* screen)
{
    if (!screen)
        return;
    if (window->screen() != screen)
        window->setScreen(screen);
    // The client area is placed, not the frame: the window system then puts it
    // at exactly the device pixel that logical point maps to. Placed by its
    // frame, a window whose frame is an odd number of device pixels wide (a
    // manager that knows nothing of Qt's scale) would have its client area
    // between two logical pixels, where no transition's pop-up can lie.
    window->setGeometry(QRect(screen->geometry().center() - window->rect().center(), window->size()));
}
