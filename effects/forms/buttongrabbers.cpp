#include "effects/forms/buttongrabbers.h"

#include "platform/framecontrols.h"
#include "effects/util/rectutils.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// initStyleOption is protected; these name it from a class that makes it public.
struct PushButtonOption : QPushButton {
    using QPushButton::initStyleOption;
};
struct CheckBoxOption : QCheckBox {
    using QCheckBox::initStyleOption;
};

// The option the control paints itself with; for a foreign class served by name,
// one built from its generic properties ("text", "checked", "checkState").
QStyleOptionButton buttonOption(QWidget* control)
{
    QStyleOptionButton opt;
    if (auto* push = qobject_cast<QPushButton*>(control)) {
        void (QPushButton::*init)(QStyleOptionButton*) const = &PushButtonOption::initStyleOption;
        (push->*init)(&opt);
        return opt;
    }
    if (auto* check = qobject_cast<QCheckBox*>(control)) {
        void (QCheckBox::*init)(QStyleOptionButton*) const = &CheckBoxOption::initStyleOption;
        (check->*init)(&opt);
        return opt;
    }
    opt.initFrom(control);
    opt.text = control->property("text").toString();
    const QVariant state = control->property("checkState");
    if (state.isValid())
        opt.state |= state.toInt() == Qt::PartiallyChecked ? QStyle::State_NoChange
            : state.toInt() == Qt::Checked                 ? QStyle::State_On
                                                           : QStyle::State_Off;
    else
        opt.state |= control->property("checked").toBool() ? QStyle::State_On : QStyle::State_Off;
    if (!(opt.state & QStyle::State_Sunken))
        opt.state |= QStyle::State_Raised;
    // A default button has the default frame with the face inside it.
    if (control->property("default").toBool())
        opt.features |= QStyleOptionButton::DefaultButton | QStyleOptionButton::AutoDefaultButton;
    return opt;
}

TRect fromQRect(const QRect& r)
{
    return TRect::fromQRect(r);
}

// Runs fn with dc's origin moved so that the control's (0, 0) lands at (x, y).
template <class Fn>
void atControl(HDC dc, int x, int y, Fn fn)
{
    const int saved = dc->save();
    dc->offsetWindowOrigin(-x, -y);
    fn();
    dc->restore(saved);
}

// The pixels the check box paints over: its own background when it fills one
// (as the grab's starting control, or with autoFillBackground), else the picture
// already in the bitmap.
QImage backgroundUnder(TBitmap* bitmap, int x, int y, QWidget* control)
{
    const bool root = control == luxgrab::grabRoot() || control->isWindow();
    if (!root && !control->autoFillBackground())
        return bitmap->Image().copy(x, y, control->width(), control->height());
    QImage background(control->size(), QImage::Format_ARGB32);
    QPainter p(&background);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(background.rect(), control->palette().brush(root ? QPalette::Window : control->backgroundRole()));
    if (root && control->autoFillBackground()) {
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.fillRect(background.rect(), control->palette().brush(control->backgroundRole()));
    }
    return background;
}

void drawFocus(HDC dc, const TRect& r)
{
    LogPen pen;
    pen.Color = clWindowFrame;
    dc->setPen(pen);
    LogBrush brush;
    brush.Color = clBtnFace;
    dc->setBrush(brush);
    DrawFocusRect(dc, &r);
}

} // namespace

const QMetaObject* TluxButtonGrabber::GetGrabberClassType()
{
    return &QPushButton::staticMetaObject;
}

void TluxButtonGrabber::GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R)
{
    GrabWinToBitmap(Bitmap, X, Y, Control, R);
    if (!Bitmap || Bitmap->Empty() || !Control)
        return;
    QStyleOptionButton opt = buttonOption(Control);
    opt.rect = QRect(0, 0, Control->width(), Control->height());
    // A flat button shows no face of its own: its paint is kept as it is.
    if ((opt.features & QStyleOptionButton::Flat) && !(opt.state & (QStyle::State_Sunken | QStyle::State_On)))
        return;
    QStyle* style = Control->style();
    const bool focused = opt.state & QStyle::State_HasFocus;
    // The default look: the style's default frame around the face.
    const bool defaultLook = opt.features & QStyleOptionButton::DefaultButton;
    unsigned flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (!(opt.state & QStyle::State_Enabled))
        flags |= DFCS_INACTIVE;
    if (opt.state & QStyle::State_Sunken)
        flags |= DFCS_PUSHED;
    if (opt.state & QStyle::State_On)
        flags |= DFCS_CHECKED;

    HDC dc = Bitmap->Canvas()->Handle();
    atControl(dc, X, Y, [&] {
        const TRect A(0, 0, Control->width(), Control->height());
        if (defaultLook) {
            // The outline is the style's default frame (drawn in its shadow colour).
            dc->paint([&](QPainter& p) { style->drawPrimitive(QStyle::PE_FrameDefaultButton, &opt, &p, Control); });
        }
        // An auto-default button keeps a margin for the default frame, set or not.
        TRect E = A;
        if (opt.features & QStyleOptionButton::AutoDefaultButton) {
            const int margin = style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, &opt, Control);
            InflateRect(E, -margin, -margin);
        }
        DrawFrameControl(dc, &E, DFC_BUTTON, flags);

        // Caption in the button's font, where the style lays out the label.
        dc->setFont(Control->font());
        QStyleOptionButton label = opt;
        label.rect = style->subElementRect(QStyle::SE_PushButtonContents, &opt, Control);
        dc->paint([&](QPainter& p) { style->drawControl(QStyle::CE_PushButtonLabel, &label, &p, Control); });

        if (focused)
            drawFocus(dc, fromQRect(style->subElementRect(QStyle::SE_PushButtonFocusRect, &opt, Control)));
    });
}

const QMetaObject* TluxBitBtnGrabber::GetGrabberClassType()
{
    return &QPushButton::staticMetaObject;
}

bool TluxBitBtnGrabber::ServesKind(const QWidget* Control)
{
    const auto* push = qobject_cast<const QPushButton*>(Control);
    return push && !push->icon().isNull();
}

void TluxBitBtnGrabber::GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect&)
{
    if (!Bitmap || Bitmap->Empty() || !Control || Control->width() < 1 || Control->height() < 1)
        return;
    // The button paints face, glyph and caption into a picture of its own size;
    // where it paints nothing the picture stays transparent, as the button is on screen.
    QImage picture(Control->width(), Control->height(), QImage::Format_ARGB32);
    picture.fill(0);
    {
        QPainter p(&picture);
        QWidget::RenderFlags flags;
        if (Control == luxgrab::grabRoot())
            flags |= QWidget::DrawWindowBackground;
        Control->render(&p, QPoint(0, 0), QRegion(), flags);
    }
    Bitmap->Canvas()->Draw(X, Y, picture);
}

const QMetaObject* TluxCheckBoxGrabber::GetGrabberClassType()
{
    return &QCheckBox::staticMetaObject;
}

void TluxCheckBoxGrabber::GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R)
{
    if (!Bitmap || Bitmap->Empty() || !Control)
        return;
    // What lies under the check box before it paints: the caption is redrawn on it.
    const QImage under = backgroundUnder(Bitmap, X, Y, Control);
    GrabWinToBitmap(Bitmap, X, Y, Control, R);

    QStyleOptionButton opt = buttonOption(Control);
    opt.rect = QRect(0, 0, Control->width(), Control->height());
    QStyle* style = Control->style();
    unsigned state = DFCS_BUTTONCHECK;
    if (opt.state & QStyle::State_NoChange)
        state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    else if (opt.state & QStyle::State_On)
        state |= DFCS_CHECKED;
    if (!(opt.state & QStyle::State_Enabled))
        state |= DFCS_INACTIVE;
    if (opt.state & QStyle::State_Sunken)
        state |= DFCS_PUSHED;

    HDC dc = Bitmap->Canvas()->Handle();
    atControl(dc, X, Y, [&] {
        const TRect A(0, 0, Control->width(), Control->height());
        // The box, vertically centred at the left edge, of the style's indicator size.
        TRect box(0, 0, style->pixelMetric(QStyle::PM_IndicatorWidth, &opt, Control),
                  style->pixelMetric(QStyle::PM_IndicatorHeight, &opt, Control));
        RectVCenter(box, A);
        DrawFrameControl(dc, &box, DFC_BUTTON, state);

        QStyleOptionButton label = opt;
        label.rect = style->subElementRect(QStyle::SE_CheckBoxContents, &opt, Control);
        dc->setFont(QFont(Control->font()));
        dc->paint([&](QPainter& p) {
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(label.rect.topLeft(), under, label.rect);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            style->drawControl(QStyle::CE_CheckBoxLabel, &label, &p, Control);
        });

        if (opt.state & QStyle::State_HasFocus)
            drawFocus(dc, fromQRect(style->subElementRect(QStyle::SE_CheckBoxFocusRect, &opt, Control)));
    });
}
