#pragma once
// A frameless form shown at a fixed place under the X server without a window
// manager, for comparing grabs with what the screen shows.
//
// Include this after every Qt and GoogleTest header: it includes Xlib, whose
// macros would break them, and undefines the ones that would break later code.

#include "effects/forms/grabberregistry.h"
#include "effects/util/platformhelpers.h"
#include "platform/screen.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>
#undef None
#undef Bool
#undef Status
#undef Success
#undef Always
#undef Unsorted
#undef CursorShape
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef FontChange
#undef Expose
#undef GrayScale
#undef True
#undef False

#include <memory>

namespace formtest {

inline bool haveScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Where the forms of a test program appear on the 1280 x 1024 test screen: each
// program of this folder picks its own place in the lower right part, away from
// the windows other tests show at the same time.
inline QPoint place = QPoint(950, 760);

inline QPoint formPlace()
{
    return place;
}

// Whether a window stacked above the form covers part of it (tests run in
// parallel on one X server). True when it cannot be told.
inline bool obstructed(QWidget* form)
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return true;
    Window rootReturn = 0, parentReturn = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parentReturn, &children, &count))
        return true;
    const Window own = Window(form->winId());
    const QRect mine = form->frameGeometry();
    bool above = false;
    bool covered = false;
    for (unsigned i = 0; i < count && !covered; ++i) {
        if (children[i] == own) {
            above = true;
            continue;
        }
        XWindowAttributes attributes;
        if (!above || !XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        covered = QRect(attributes.x, attributes.y, attributes.width, attributes.height).intersects(mine);
    }
    if (children)
        XFree(children);
    return covered || !above;
}

inline std::unique_ptr<QWidget> makeForm(int width, int height)
{
    auto form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    form->setGeometry(QRect(formPlace(), QSize(width, height)));
    return form;
}

// Shows the form on top and lets it paint; returns once it is on screen.
inline void showForm(QWidget* form)
{
    form->show();
    form->raise();
    luxtest::processEventsFor(250);
}

// What the screen shows of the form, taken while no other window covers it.
inline QImage screenOf(QWidget* form)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (!obstructed(form)) {
            const QImage shot = CaptureScreen(TRect::fromQRect(form->frameGeometry()));
            if (!obstructed(form))
                return shot;
        }
        form->raise();
        luxtest::processEventsFor(50);
    }
    return CaptureScreen(TRect::fromQRect(form->frameGeometry()));
}

inline QImage grabOf(QWidget* form)
{
    const std::unique_ptr<TluxBitmap> grabbed = GrabToLuBitmap(form, TRect(0, 0, form->width(), form->height()));
    QImage picture;
    grabbed->AssignTo(picture);
    return picture;
}

// Share of identical pixels, 0 to 1 (opaque colours compared, alpha ignored).
inline double matchOf(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 0.0;
    QImage ca = a.convertToFormat(QImage::Format_RGB32);
    QImage cb = b.convertToFormat(QImage::Format_RGB32);
    return 1.0 - double(luxtest::differingPixels(ca, cb)) / double(qint64(a.width()) * a.height());
}

inline void startGrabbing()
{
    startPlatformHelpers();
    RegisterStandardGrabbers();
}

} // namespace formtest
