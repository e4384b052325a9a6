#include "effects/forms/scrollbargrabbers.h"

#include "effects/util/controlgeometry.h"
#include "platform/framecontrols.h"
#include "effects/util/halftonebrush.h"
#include "effects/util/rectutils.h"
#include "platform/screen.h"
#include "effects/util/scrollbarinfo.h"
#include "effects/forms/windowstyle.h"

#include <QAbstractScrollArea>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextEdit>

bool FlatSB_GetScrollProp(QWidget*, int, int* value)
{
    if (value)
        *value = 0;
    return false;
}

namespace {

void fillFace(HDC dc, const TRect& r)
{
    if (!IsRectEmpty(r))
        dc->fillSolidRect(r, clBtnFace);
}

// One scroll bar, horizontal or vertical, from its record. S0 is the control's
// rectangle inside its edge, in the bitmap; clientOnScreen the screen position of
// the control's client area.
void drawScrollBar(HDC dc, QWidget* control, bool horizontal, const TRect& S0, const QPoint& clientOnScreen)
{
    SCROLLBARINFO info;
    if (!MyGetScrollBarInfo(control, horizontal ? OBJID_HSCROLL : OBJID_VSCROLL, info)
        || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
        return;
    const int a = GetSystemMetrics(horizontal ? SM_CXHSCROLL : SM_CXVSCROLL);
    int st = 0;
    int bk = 0;
    FlatSB_GetScrollProp(control, horizontal ? WSB_PROP_HSTYLE : WSB_PROP_VSTYLE, &st);
    FlatSB_GetScrollProp(control, horizontal ? WSB_PROP_HBKGCOLOR : WSB_PROP_VBKGCOLOR, &bk);
    if (bk == 0)
        bk = 0x00FFFFFF;
    unsigned fl = 0;
    if (st & FSB_FLAT_MODE)
        fl |= DFCS_FLAT;

    TRect S = info.rcScrollBar;
    OffsetRect(S, S0.Left - clientOnScreen.x(), S0.Top - clientOnScreen.y());

    // Track: the half-tone of the track colour and the face. Its dots line up with
    // the ones the style paints, which start with a face pixel at the bar's corner.
    {
        const int saved = dc->save();
        dc->setBrushOrigin(TPoint(S.Left + 1, S.Top));
        dc->fillRect(S, CreateHalftoneBrush(TColor(bk)));
        dc->restore(saved);
    }

    const auto inactive = [&](int element) {
        return (info.rgstate[element] & STATE_SYSTEM_UNAVAILABLE) ? DFCS_INACTIVE : 0u;
    };
    TRect first, second, thumb, corner;
    if (horizontal) {
        first = TRect(S.Left, S.Top, S.Left + a, S.Bottom);
        second = TRect(S.Right - a, S.Top, S.Right, S.Bottom);
        thumb = TRect(S.Left + info.xyThumbTop, S.Top, S.Left + info.xyThumbBottom, S.Bottom);
        corner = TRect(S.Right, S.Top, S0.Right, S.Bottom);
    } else {
        first = TRect(S.Left, S.Top, S.Right, S.Top + a);
        second = TRect(S.Left, S.Bottom - a, S.Right, S.Bottom);
        thumb = TRect(S.Left, S.Top + info.xyThumbTop, S.Right, S.Top + info.xyThumbBottom);
        corner = TRect(S.Left, S.Bottom, S.Right, S0.Bottom);
    }
    DrawFrameControl(dc, &first, DFC_SCROLL, fl | (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | inactive(1));
    DrawFrameControl(dc, &second, DFC_SCROLL, fl | (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | inactive(5));
    if (!(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE))
        DrawFrameControl(dc, &thumb, DFC_SCROLL, fl | DFCS_SCROLLTHUMB);
    fillFace(dc, corner);
}

} // namespace

const QMetaObject* TluxScrollBoxGrabber::GetGrabberClassType()
{
    return &QAbstractScrollArea::staticMetaObject;
}

void TluxScrollBoxGrabber::GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R)
{
    GrabWinToBitmap(Bitmap, X, Y, Control, R);
    GrabScrollBarsToBitmap(Bitmap, X, Y, Control, R);
}

void TluxScrollBoxGrabber::GrabScrollBarsToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect&)
{
    if (!Bitmap || Bitmap->Empty() || !Control)
        return;
    const uint32_t style = GetWindowLong(Control, GWL_STYLE);
    const uint32_t exStyle = GetWindowLong(Control, GWL_EXSTYLE);
    TRect S0(X, Y, X + Control->width(), Y + Control->height());
    if ((style & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE))
        InflateRect(S0, -2, -2);
    const QPoint clientOnScreen = Control->mapToGlobal(QPoint(0, 0)) + GetClientOrigin(Control).toQPoint();
    HDC dc = Bitmap->Canvas()->Handle();
    if (style & WS_HSCROLL)
        drawScrollBar(dc, Control, true, S0, clientOnScreen);
    if (style & WS_VSCROLL)
        drawScrollBar(dc, Control, false, S0, clientOnScreen);
}

const QMetaObject* TluxMemoGrabber::GetGrabberClassType()
{
    return &QAbstractScrollArea::staticMetaObject;
}

bool TluxMemoGrabber::ServesKind(const QWidget* Control)
{
    return qobject_cast<const QTextEdit*>(Control) || qobject_cast<const QPlainTextEdit*>(Control);
}

const QMetaObject* TluxListBoxGrabber::GetGrabberClassType()
{
    return &QListView::staticMetaObject;
}

void TluxListBoxGrabber::GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R)
{
    TluxScrollBoxGrabber::GrabToBitmap(Bitmap, X, Y, Control, R);
    auto* area = qobject_cast<QAbstractScrollArea*>(Control);
    if (!Bitmap || Bitmap->Empty() || !area)
        return;
    // The list's client paint is its viewport's; it is placed like the first
    // paint, at the viewport's position within the list.
    QWidget* viewport = area->viewport();
    if (viewport->isHidden())
        return;
    HDC dc = Bitmap->Canvas()->Handle();
    const int saved = dc->save();
    dc->offsetWindowOrigin(-X, -Y);
    dc->paint([&](QPainter& p) { viewport->render(&p, viewport->pos(), QRegion(), {}); });
    dc->restore(saved);
}
