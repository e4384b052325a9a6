#include "platform/framecontrols.h"

#include "platform/frameglyphs.h"

#include <QApplication>
#include <QIcon>
#include <QLinearGradient>
#include <QRegion>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {

using namespace frameglyphs;

QRect toQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

QStyle::State enabledState(unsigned uState)
{
    return (uState & DFCS_INACTIVE) ? QStyle::State_None : QStyle::State_Enabled;
}

// The application palette in the colour group a control in this state paints with.
QPalette paletteFor(unsigned uState)
{
    QPalette pal = QApplication::palette();
    pal.setCurrentColorGroup((uState & DFCS_INACTIVE) ? QPalette::Disabled : QPalette::Active);
    return pal;
}

// A push-button face: the style's command-button panel, as QPushButton paints it.
void drawPushFace(QPainter& p, const QRect& r, unsigned uState)
{
    const QPalette pal = paletteFor(uState);
    if (uState & (DFCS_FLAT | DFCS_MONO)) {
        // A one-pixel frame around the face instead of the bevel.
        p.fillRect(r, pal.button());
        p.setPen((uState & DFCS_MONO) ? pal.color(QPalette::WindowText) : pal.color(QPalette::Dark));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        return;
    }
    QStyleOptionButton opt;
    opt.rect = r;
    opt.palette = pal;
    opt.state = enabledState(uState);
    opt.state |= (uState & DFCS_PUSHED) ? QStyle::State_Sunken : QStyle::State_Raised;
    if (uState & DFCS_CHECKED)
        opt.state |= QStyle::State_On;
    QApplication::style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, nullptr);
}

void drawButton(QPainter& p, const QRect& r, unsigned uState)
{
    if (uState & DFCS_BUTTONPUSH) {
        drawPushFace(p, r, uState);
        return;
    }
    QStyleOptionButton opt;
    opt.rect = r;
    opt.palette = paletteFor(uState);
    opt.state = enabledState(uState);
    if (uState & DFCS_PUSHED)
        opt.state |= QStyle::State_Sunken;
    if (uState & DFCS_CHECKED)
        opt.state |= (uState & DFCS_BUTTON3STATE) ? QStyle::State_NoChange : QStyle::State_On;
    else
        opt.state |= QStyle::State_Off;
    const bool radio = (uState & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) != 0;
    QApplication::style()->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &opt, &p,
                                         nullptr);
}

void drawScroll(QPainter& p, const QRect& r, unsigned uState)
{
    QStyle* style = QApplication::style();
    const unsigned kind = uState & 0xFF;
    if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        QStyleOptionSizeGrip opt;
        opt.rect = r;
        opt.palette = paletteFor(uState);
        opt.state = enabledState(uState);
        opt.corner = kind == DFCS_SCROLLSIZEGRIP ? Qt::BottomRightCorner : Qt::BottomLeftCorner;
        p.fillRect(r, opt.palette.button());
        style->drawControl(QStyle::CE_SizeGrip, &opt, &p, nullptr);
        return;
    }
    QStyleOptionSlider opt;
    opt.rect = r;
    opt.palette = paletteFor(uState);
    opt.state = enabledState(uState);
    opt.direction = Qt::LeftToRight;
    const bool horizontal = kind == DFCS_SCROLLLEFT || kind == DFCS_SCROLLRIGHT
        || (kind == DFCS_SCROLLTHUMB && r.width() > r.height());
    opt.orientation = horizontal ? Qt::Horizontal : Qt::Vertical;
    if (horizontal)
        opt.state |= QStyle::State_Horizontal;
    if (uState & DFCS_PUSHED)
        opt.state |= QStyle::State_Sunken;
    switch (kind) {
    case DFCS_SCROLLUP:
    case DFCS_SCROLLLEFT:
        style->drawControl(QStyle::CE_ScrollBarSubLine, &opt, &p, nullptr);
        break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLRIGHT:
    case DFCS_SCROLLCOMBOBOX:
        style->drawControl(QStyle::CE_ScrollBarAddLine, &opt, &p, nullptr);
        break;
    case DFCS_SCROLLTHUMB:
        style->drawControl(QStyle::CE_ScrollBarSlider, &opt, &p, nullptr);
        break;
    default:
        break;
    }
}

// A caption button: the push-button face and the glyph in the button-text colour,
// one pixel down and right when pushed. An inactive glyph is embossed as the
// window system draws disabled glyphs: the highlight colour one pixel down and
// right, the shadow colour on top.
void drawCaptionButton(QPainter& p, const QRect& r, unsigned uState)
{
    drawPushFace(p, r, uState & (DFCS_PUSHED | DFCS_INACTIVE | DFCS_FLAT | DFCS_MONO));
    const int q = captionGlyphSquare(std::min(r.width(), r.height()));
    const QRegion glyph = captionGlyph(uState & 0xFF, q);
    const int shift = (uState & DFCS_PUSHED) ? 1 : 0;
    const QPoint at(r.x() + (r.width() - q) / 2 + shift, r.y() + (r.height() - q) / 2 + shift);
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    if (uState & DFCS_INACTIVE) {
        fillRegion(p, glyph, at + QPoint(1, 1), TColorToQColor(clBtnHighlight));
        fillRegion(p, glyph, at, TColorToQColor(clBtnShadow));
    } else {
        fillRegion(p, glyph, at, TColorToQColor(clBtnText));
    }
    p.restore();
}

// A menu glyph as the window system gives it, a mask: black strokes on white,
// whatever the state.
void drawMenuGlyph(QPainter& p, const QRect& r, unsigned uState)
{
    const QRegion glyph = menuGlyph(uState & 0xFF, std::min(r.width(), r.height()));
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.fillRect(r, Qt::white);
    fillRegion(p, glyph, centredIn(r, glyph), Qt::black);
    p.restore();
}

// Colours of one layer of an edge: top-left and bottom-right. They are the colours
// the style's panels use (qDrawWinPanel and the command-button bevel), so a frame
// drawn here equals the frame a Qt widget paints.
struct EdgeColours {
    QColor topLeft;
    QColor bottomRight;
};

EdgeColours layerColours(bool outer, bool raised, unsigned grfFlags, const QPalette& pal)
{
    if (grfFlags & BF_MONO) {
        const QColor c = outer ? pal.color(QPalette::WindowText) : pal.color(QPalette::Base);
        return {c, c};
    }
    if (grfFlags & BF_FLAT) {
        const QColor c = outer ? pal.color(QPalette::Dark) : pal.color(QPalette::Button);
        return {c, c};
    }
    if (outer)
        return raised ? EdgeColours{pal.color(QPalette::Light), pal.color(QPalette::Shadow)}
                      : EdgeColours{pal.color(QPalette::Dark), pal.color(QPalette::Light)};
    return raised ? EdgeColours{pal.color(QPalette::Button), pal.color(QPalette::Dark)}
                  : EdgeColours{pal.color(QPalette::Shadow), pal.color(QPalette::Button)};
}

// One pixel wide ring (or the sides grfFlags names) just inside r. The top-left
// colour takes the top row and left column except their last pixel; the
// bottom-right colour the whole bottom row and right column.
void drawLayer(QPainter& p, const TRect& r, const EdgeColours& c, unsigned grfFlags)
{
    const int w = r.Width();
    const int h = r.Height();
    if (w <= 0 || h <= 0)
        return;
    if (grfFlags & BF_TOP)
        p.fillRect(QRect(r.Left, r.Top, std::max(1, w - 1), 1), c.topLeft);
    if (grfFlags & BF_LEFT)
        p.fillRect(QRect(r.Left, r.Top, 1, std::max(1, h - 1)), c.topLeft);
    if (grfFlags & BF_BOTTOM)
        p.fillRect(QRect(r.Left, r.Bottom - 1, w, 1), c.bottomRight);
    if (grfFlags & BF_RIGHT)
        p.fillRect(QRect(r.Right - 1, r.Top, 1, h), c.bottomRight);
}

void shrinkSides(TRect& r, unsigned grfFlags)
{
    if (grfFlags & BF_LEFT)
        ++r.Left;
    if (grfFlags & BF_TOP)
        ++r.Top;
    if (grfFlags & BF_RIGHT)
        --r.Right;
    if (grfFlags & BF_BOTTOM)
        --r.Bottom;
}

// A diagonal edge: a line from one corner to the opposite one, the outer layer's
// bottom-right colour over the inner layer's, ending at the corner the flags name.
void drawDiagonal(QPainter& p, const TRect& r, unsigned edge, unsigned grfFlags, const QPalette& pal)
{
    const bool endTop = grfFlags & BF_TOP;
    const bool endRight = grfFlags & BF_RIGHT;
    const int x0 = endRight ? r.Left : r.Right - 1;
    const int x1 = endRight ? r.Right - 1 : r.Left;
    const int y0 = endTop ? r.Bottom - 1 : r.Top;
    const int y1 = endTop ? r.Top : r.Bottom - 1;
    int layer = 0;
    for (bool outer : {true, false}) {
        const unsigned bits = outer ? (edge & BDR_OUTER) : (edge & BDR_INNER);
        if (!bits)
            continue;
        const bool raised = outer ? (bits & BDR_RAISEDOUTER) : (bits & BDR_RAISEDINNER);
        const EdgeColours c = layerColours(outer, raised, grfFlags, pal);
        p.setPen(c.bottomRight);
        p.drawLine(x0, y0 + layer, x1, y1 + layer);
        ++layer;
    }
}

} // namespace

bool DrawFrameControl(HDC hdc, TRect* lprc, unsigned uType, unsigned uState)
{
    if (!hdc || !lprc)
        return false;
    if (uType != DFC_BUTTON && uType != DFC_SCROLL && uType != DFC_CAPTION && uType != DFC_MENU && uType != DFC_POPUPMENU)
        return false;
    const TRect r = *lprc;
    if (!IsRectEmptyRaw(r)) {
        hdc->paint([&](QPainter& p) {
            const QRect q = toQRect(r);
            switch (uType) {
            case DFC_BUTTON: drawButton(p, q, uState); break;
            case DFC_SCROLL: drawScroll(p, q, uState); break;
            case DFC_CAPTION: drawCaptionButton(p, q, uState); break;
            default: drawMenuGlyph(p, q, uState); break;
            }
        });
    }
    if (uType == DFC_BUTTON && (uState & DFCS_BUTTONPUSH) && (uState & DFCS_ADJUSTRECT))
        InflateRect(*lprc, -2, -2);
    return true;
}

bool DrawEdge(HDC hdc, TRect* qrc, unsigned edge, unsigned grfFlags)
{
    if (!hdc || !qrc)
        return false;
    const QPalette pal = QApplication::palette();
    TRect r = *qrc;
    if (grfFlags & BF_DIAGONAL) {
        if (!IsRectEmptyRaw(r))
            hdc->paint([&](QPainter& p) { drawDiagonal(p, r, edge, grfFlags, pal); });
        return true;
    }
    hdc->paint([&](QPainter& p) {
        for (bool outer : {true, false}) {
            const unsigned bits = outer ? (edge & BDR_OUTER) : (edge & BDR_INNER);
            if (!bits)
                continue;
            const bool raised = outer ? (bits & BDR_RAISEDOUTER) : (bits & BDR_RAISEDINNER);
            drawLayer(p, r, layerColours(outer, raised, grfFlags, pal), grfFlags);
            shrinkSides(r, grfFlags);
        }
        if ((grfFlags & BF_MIDDLE) && !IsRectEmptyRaw(r))
            p.fillRect(toQRect(r), (grfFlags & BF_MONO) ? pal.color(QPalette::Base) : pal.color(QPalette::Button));
    });
    if (grfFlags & BF_ADJUST)
        *qrc = r;
    return true;
}

bool DrawCaption(QWidget* hwnd, HDC hdc, const TRect* lprect, unsigned flags)
{
    if (!hdc || !lprect)
        return false;
    const TRect r = *lprect;
    if (IsRectEmptyRaw(r))
        return true;
    const bool active = flags & DC_ACTIVE;
    const QColor from = TColorToQColor(active ? clActiveCaption : clInactiveCaption);
    const QColor to = TColorToQColor(SysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION));
    hdc->paint([&](QPainter& p) {
        const QRect q = toQRect(r);
        if (flags & DC_GRADIENT) {
            QLinearGradient g(q.left(), 0, q.right(), 0);
            g.setColorAt(0, from);
            g.setColorAt(1, to);
            p.fillRect(q, g);
        } else {
            p.fillRect(q, from);
        }
        int textLeft = q.left() + 2;
        if ((flags & DC_ICON) && hwnd) {
            QIcon icon = hwnd->windowIcon();
            if (icon.isNull())
                icon = QApplication::style()->standardIcon(QStyle::SP_TitleBarMenuButton);
            const int side = std::max(0, std::min(q.height() - 2, 16));
            if (side > 0) {
                p.drawPixmap(q.left() + 2, q.top() + (q.height() - side) / 2, icon.pixmap(QSize(side, side)));
                textLeft += side + 2;
            }
        }
        if ((flags & DC_TEXT) && hwnd) {
            QFont font = hdc->font();
            if (!(flags & DC_SMALLCAP))
                font.setBold(true);
            p.setFont(font);
            p.setPen(TColorToQColor(active ? clCaptionText : clInactiveCaptionText));
            const QRect textRect(textLeft, q.top(), std::max(0, q.right() - textLeft), q.height());
            const QString shown = p.fontMetrics().elidedText(hwnd->windowTitle(), Qt::ElideRight, textRect.width());
            p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        }
    });
    return true;
}

bool DrawFocusRect(HDC hdc, const TRect* lprc)
{
    if (!hdc || !lprc)
        return false;
    const TRect r = *lprc;
    if (IsRectEmptyRaw(r))
        return true;
    const LogBrush& brush = hdc->brush();
    const QColor background = brush.Style == BrushStyle::Solid ? TColorToQColor(brush.Color)
                                                               : QApplication::palette().color(QPalette::Button);
    hdc->paint([&](QPainter& p) {
        QStyleOptionFocusRect opt;
        opt.rect = toQRect(r);
        opt.palette = QApplication::palette();
        opt.state = QStyle::State_Enabled | QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        opt.backgroundColor = background;
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, nullptr);
    });
    return true;
}
