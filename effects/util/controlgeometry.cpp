#include "effects/util/controlgeometry.h"

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

} // namespace

TPoint GetClientOrigin(QWidget* C)
{
    if (!C)
        return TPoint();
    if (C->isWindow()) {
        // Both in screen coordinates: where the client area starts and where the
        // frame starts. Without a window manager frame they coincide.
        return TPoint::fromQPoint(C->geometry().topLeft() - C->frameGeometry().topLeft());
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
        return TRect::fromQRect(C->frameGeometry());
    TPoint at = TPoint::fromQPoint(C->pos());
    if (QWidget* parent = C->parentWidget()) {
        const TPoint parentOrigin = TPoint::fromQPoint(clientArea(parent).topLeft());
        at = TPoint(at.X - parentOrigin.X, at.Y - parentOrigin.Y);
    }
    return Bounds(at.X, at.Y, C->width(), C->height());
}
