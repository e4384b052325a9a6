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
    window->move(screen->geometry().center() - window->rect().center());
}
