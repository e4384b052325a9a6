#include "effects/forms/grabber.h"

#include "platform/framecontrols.h"
#include "effects/forms/windowstyle.h"

#include <QPainter>
#include <QWidget>

void TluxGrabber::GrabToBitmap(TBitmap*, int, int, QWidget*, const TRect&)
{
}

const QMetaObject* TluxWControlGrabber::GetGrabberClassType()
{
    return &QWidget::staticMetaObject;
}

void TluxWControlGrabber::GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R)
{
    GrabWinToBitmap(Bitmap, X, Y, Control, R);
}

void TluxWControlGrabber::GrabWinToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect&)
{
    if (!Bitmap || Bitmap->Empty() || !Control)
        return;
    HDC dc = Bitmap->Canvas()->Handle();
    const int saved = dc->save();
    // The control's (0, 0) lands at (X, Y), as when a parent paints a child into its own context.
    dc->offsetWindowOrigin(-X, -Y);

    unsigned edge = 0;
    unsigned flags = 0;
    if (GetWindowLong(Control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
        edge = EDGE_SUNKEN;
        flags = BF_RECT | BF_ADJUST;
    } else if (!Control->isWindow() && (GetWindowLong(Control, GWL_STYLE) & WS_BORDER)) {
        edge = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
        flags = BF_RECT | BF_ADJUST | BF_MONO;
    }
    if (edge) {
        TRect e(0, 0, Control->width(), Control->height());
        DrawEdge(dc, &e, edge, flags);
        // A Qt widget paints in its outer coordinates, its own frame included: the
        // paint stays at the corner and is clipped to the interior of the edge.
        dc->intersectClipRect(e);
    }

    // Background (the erase) and paint in one call; children are drawn by the tree walk.
    QWidget::RenderFlags render;
    if (Control->isWindow() || Control == luxgrab::grabRoot())
        render |= QWidget::DrawWindowBackground;
    dc->paint([&](QPainter& p) { Control->render(&p, QPoint(0, 0), QRegion(), render); });
    dc->restore(saved);
}

GrabNonClientEvent::GrabNonClientEvent(int x, int y, HDC dc) : QEvent(eventType()), X(x), Y(y), DC(dc)
{
}

QEvent::Type GrabNonClientEvent::eventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType(CM_GRABNONCLIENT));
    return type;
}

namespace luxgrab {

namespace {
QWidget* currentRoot = nullptr;
}

QWidget* grabRoot()
{
    return currentRoot;
}

GrabRootScope::GrabRootScope(QWidget* root) : m_previous(currentRoot)
{
    currentRoot = root;
}

GrabRootScope::~GrabRootScope()
{
    currentRoot = m_previous;
}

} // namespace luxgrab
