#pragma once
// A frameless form shown at a fixed place under the X server without a window
// manager, for comparing grabs with what the screen shows.

#include "grabberregistry.h"
#include "platformhelpers.h"
#include "screen.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QWidget>

#include <memory>

namespace formtest {

inline bool haveScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Where the forms of these tests appear: near the bottom-right corner of the
// 1280 x 1024 test screen, away from the windows other tests show at the same time.
inline QPoint formPlace()
{
    return QPoint(950, 760);
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

inline QImage screenOf(QWidget* form)
{
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
