#include "effects/forms/windowstyle.h"

#include <QAbstractScrollArea>
#include <QFrame>
#include <QScrollBar>

namespace {

bool hasClientEdge(const QFrame* frame)
{
    return frame->frameShape() == QFrame::StyledPanel && frame->frameShadow() == QFrame::Sunken
        && frame->frameWidth() == 2;
}

bool hasBorder(const QFrame* frame)
{
    return frame->frameShape() == QFrame::Box && frame->frameShadow() == QFrame::Plain && frame->frameWidth() == 1;
}

} // namespace

uint32_t GetWindowLong(QWidget* hwnd, int nIndex)
{
    if (!hwnd)
        return 0;
    const auto* frame = qobject_cast<const QFrame*>(hwnd);
    if (nIndex == GWL_EXSTYLE)
        return (frame && hasClientEdge(frame)) ? WS_EX_CLIENTEDGE : 0;
    if (nIndex != GWL_STYLE)
        return 0;
    uint32_t style = (frame && hasBorder(frame)) ? WS_BORDER : 0;
    if (const auto* area = qobject_cast<const QAbstractScrollArea*>(hwnd)) {
        if (area->horizontalScrollBar()->isVisibleTo(hwnd))
            style |= WS_HSCROLL;
        if (area->verticalScrollBar()->isVisibleTo(hwnd))
            style |= WS_VSCROLL;
    }
    return style;
}
