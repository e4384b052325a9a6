#include "effects/forms/windowsshownsince.h"

#include "effects/bitmap/luxbitmap.h"
#include "effects/forms/grabberregistry.h"
#include "effects/forms/lockwindow.h"
#include "effects/util/controlgeometry.h"
#include "platform/devicepixels.h"

#include <QApplication>

QList<QPointer<QWidget>> WindowsOnScreen()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<TluxLockPopup*>(w))
            windows.append(w);
    return windows;
}

void DrawWindowsShownSince(TluxBitmap& copy, const TRect& screenRect, qreal ratio,
                           const QList<QPointer<QWidget>>& before, const QWidget* form)
{
    const QRect area = screenRect.toQRect();
    const auto device = [ratio](int v) { return ToDevicePixels(v, ratio); };
    for (const QPointer<QWidget>& window : WindowsOnScreen()) {
        if (window == form || before.contains(window))
            continue;
        // The window's client area on the screen, where it meets the copy.
        const QRect client(window->mapToGlobal(QPoint(0, 0)), window->size());
        const QRect part = client & area;
        if (part.isEmpty())
            continue;
        // Its own rendering of its whole client area (in the window's outer
        // coordinates), of which the part is placed at its device pixels.
        const TPoint origin = GetClientOrigin(window);
        const std::unique_ptr<TluxBitmap> picture =
            RenderToDeviceBitmap(window, TRect(origin.X, origin.Y, origin.X + client.width(), origin.Y + client.height()), ratio);
        const QPoint from = part.topLeft() - client.topLeft(), at = part.topLeft() - area.topLeft();
        const TRect source(device(from.x()), device(from.y()), device(from.x() + part.width()),
                           device(from.y() + part.height()));
        picture->Draw(&copy, device(at.x()), device(at.y()), source);
    }
}
