#include "effects/util/controlgeometry.h"

#include "effects/util/windowframe.h"

#include <QAbstractScrollArea>
#include <QWidget>

namespace {

// C's client area in C's own widget coordinates (children of C are placed in these).
QRect clientArea(QWidget* c)
{
    if (c->isWindow())
        return c->rect();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(c))
        return area->viewport()->geometry();
    return c->contentsRect();
}

// A top-level window's outer rectangle on the screen, frame included. Before
// the window manager has framed the window, Qt keeps it where the frame's
// corner will be: the frame grows from there.
QRect outerOnScreen(QWidget* window)
{
    const QRect known = window->frameGeometry();
    if (known != window->geometry())
        return known;
    return QRect(known.topLeft(), known.size().grownBy(WindowManagerFrame(window)));
}

} // namespace

TPoint GetClientOrigin(QWidget* C)
{
    if (!C)
        return TPoint();
    if (C->isWindow()) {
        // The frame's left and top widths; without a window manager frame, none.
        const QMargins frame = WindowManagerFrame(C);
        return TPoint(frame.left(), frame.top());
    }
    return TPoint::fromQPoint(clientArea(C).topLeft());
}

TRect GetRealClientRect(QWidget* C)
{
    if (!C)
        return TRect();
    const QRect client = clientArea(C);
    const TPoint origin = GetClientOrigin(C);
    return Bounds(origin.X, origin.Y, client.width(), client.height());
}

TRect GetRealBoundsRect(QWidget* C)
{
    if (!C)
        return TRect();
    if (C->isWindow())
        return TRect::fromQRect(outerOnScreen(C));
    TPoint at = TPoint::fromQPoint(C->pos());
    if (QWidget* parent = C->parentWidget()) {
        const TPoint parentOrigin = TPoint::fromQPoint(clientArea(parent).topLeft());
        at = TPoint(at.X - parentOrigin.X, at.Y - parentOrigin.Y);
    }
    return Bounds(at.X, at.Y, C->width(), C->height());
}
