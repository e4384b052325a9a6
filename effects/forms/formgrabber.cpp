#include "effects/forms/formgrabber.h"

#include "effects/util/controlgeometry.h"
#include "platform/framecontrols.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/util/rectutils.h"
#include "platform/screen.h"
#include "effects/util/themes.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

TFormBorderStyle borderStyleOf(const QWidget* form)
{
    const Qt::WindowFlags flags = form->windowFlags();
    const Qt::WindowType type = form->windowType();
    if ((flags & (Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)) || type == Qt::Popup
        || type == Qt::ToolTip || type == Qt::SplashScreen || type == Qt::Desktop)
        return bsNone;
    const bool fixedSize = form->minimumSize() == form->maximumSize();
    if (type == Qt::Tool)
        return fixedSize ? bsToolWindow : bsSizeToolWin;
    if (type == Qt::Dialog || type == Qt::Sheet)
        return fixedSize ? bsDialog : bsSizeable;
    return fixedSize ? bsSingle : bsSizeable;
}

TBorderIcons borderIconsOf(const QWidget* form)
{
    const Qt::WindowFlags flags = form->windowFlags();
    const Qt::WindowType type = form->windowType();
    if (!(flags & Qt::CustomizeWindowHint)) {
        // Without explicit hints the window gets the usual buttons of its type.
        if (type == Qt::Window)
            return biSystemMenu | biMinimize | biMaximize;
        return biSystemMenu;
    }
    TBorderIcons icons = 0;
    if (flags & Qt::WindowSystemMenuHint)
        icons |= biSystemMenu;
    if (flags & Qt::WindowMinimizeButtonHint)
        icons |= biMinimize;
    if (flags & Qt::WindowMaximizeButtonHint)
        icons |= biMaximize;
    if (flags & Qt::WindowContextHelpButtonHint)
        icons |= biHelp;
    if (flags & Qt::WindowCloseButtonHint)
        icons |= biSystemMenu;
    return icons;
}

TRect moved(const TRect& r, int dx)
{
    TRect m = r;
    OffsetRect(m, dx, 0);
    return m;
}

void frameControl(HDC dc, TRect r, unsigned type, unsigned state)
{
    DrawFrameControl(dc, &r, type, state);
}

QFont captionFont(bool small)
{
    QFont font = QApplication::font();
    font.setBold(!small);
    return font;
}

// Caption text as the themed drawing puts it: the theme's greyed text, then the text itself.
void themedCaptionText(HDC dc, HTHEME theme, int part, const QString& caption, TRect r, bool small)
{
    const int saved = dc->save();
    dc->setFont(captionFont(small));
    dc->setTextColor(SysColor(COLOR_CAPTIONTEXT));
    dc->setBkMode(TRANSPARENT);
    const std::u16string text = caption.toStdU16String();
    DrawThemeText(theme, dc, part, 1, text.c_str(), int(text.size()), DT_SINGLELINE, DTT_GRAYED, &r);
    dc->drawText(caption, r, DT_SINGLELINE);
    dc->restore(saved);
}

} // namespace

TluxFormFrame FormFrameOf(QWidget* Form)
{
    TluxFormFrame frame;
    if (!Form)
        return frame;
    const TRect bounds = GetRealBoundsRect(Form);
    const TPoint origin = GetClientOrigin(Form);
    frame.Window = Form;
    frame.Width = RectWidth(bounds);
    frame.Height = RectHeight(bounds);
    frame.Border = origin.X;
    frame.Top = origin.Y;
    frame.BorderStyle = borderStyleOf(Form);
    frame.BorderIcons = borderIconsOf(Form);
    frame.WindowState = Form->isMaximized() ? wsMaximized : Form->isMinimized() ? wsMinimized : wsNormal;
    return frame;
}

const QMetaObject* TluxFormGrabber::GetGrabberClassType()
{
    return &QWidget::staticMetaObject;
}

bool TluxFormGrabber::ServesKind(const QWidget* Control)
{
    return Control->isWindow();
}

void TluxFormGrabber::GrabToBitmap(TBitmap* Bitmap, int X, int Y, QWidget* Control, const TRect& R)
{
    GrabFormToWinBitmap(Bitmap, Control, X, Y, R);
}

void TluxFormGrabber::GrabFormToWinBitmap(TBitmap* Bitmap, QWidget* Form, int X, int Y, const TRect& R)
{
    if (!Bitmap || Bitmap->Empty() || !Form)
        return;
    const TPoint origin = GetClientOrigin(Form);
    HDC dc = Bitmap->Canvas()->Handle();

    GrabNonClientEvent ask(X, Y, dc);
    QCoreApplication::sendEvent(Form, &ask);
    if (ask.Drawn) {
        // The form drew its frame; its client area is painted at the client origin.
        const int saved = dc->save();
        dc->setWindowOrigin(TPoint(-(X + origin.X), -(Y + origin.Y)));
        dc->paint([&](QPainter& p) { Form->render(&p, QPoint(0, 0), QRegion(), QWidget::DrawWindowBackground); });
        dc->restore(saved);
        return;
    }

    TluxBitmap frame;
    frame.SetSize(Bitmap->Width(), Bitmap->Height());
    if (UseThemes())
        GrabThemedFormToDC(frame.DC, X, Y, Form, R);
    else
        GrabFormToDC(frame.DC, X, Y, Form, R);
    // Only the part inside the clip region set by the tree walk reaches the target.
    frame.Draw(Bitmap->Canvas(), 0, 0);

    GrabWinToBitmap(Bitmap, X + origin.X, Y + origin.Y, Form, R);
}

void TluxFormGrabber::GrabFormToDC(HDC DC, int X, int Y, QWidget* Form, const TRect&)
{
    DrawClassicFrame(DC, X, Y, FormFrameOf(Form));
}

void TluxFormGrabber::GrabThemedFormToDC(HDC DC, int X, int Y, QWidget* Form, const TRect&)
{
    DrawThemedFrame(DC, X, Y, FormFrameOf(Form));
}

void TluxFormGrabber::DrawClassicFrame(HDC DC, int X, int Y, const TluxFormFrame& Frame)
{
    if (!DC)
        return;
    const int W = Frame.Width, H = Frame.Height, b = Frame.Border, t = Frame.Top;
    TRect F(X, Y, X + W, Y + H);
    DC->fillSolidRect(F, clBtnFace);
    if (Frame.BorderStyle == bsNone)
        return;
    DrawEdge(DC, &F, BDR_RAISEDOUTER, BF_RECT);
    InflateRect(F, -1, -1);
    DrawEdge(DC, &F, BDR_RAISEDINNER, BF_RECT);

    const bool small = Frame.BorderStyle == bsToolWindow || Frame.BorderStyle == bsSizeToolWin;
    const TRect C(X + b, Y + b, X + W - b, Y + t - 1);
    DrawCaption(Frame.Window, DC, &C, small ? 0x2F : 0x2D);
    const int cx = GetSystemMetrics(small ? SM_CXSMSIZE : SM_CXSIZE);
    const TRect K(C.Right - cx, C.Top + 2, C.Right - 2, C.Bottom - 2);
    const bool closeBox = Frame.BorderIcons & biSystemMenu;
    if (closeBox)
        frameControl(DC, K, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    if (small)
        return;

    bool sizeBoxes = false;
    if ((Frame.BorderStyle == bsSingle || Frame.BorderStyle == bsSizeable)
        && (Frame.BorderIcons & (biMinimize | biMaximize))) {
        sizeBoxes = true;
        const unsigned maxState = (Frame.WindowState == wsMaximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX)
            | ((Frame.BorderIcons & biMaximize) ? 0 : DFCS_INACTIVE);
        frameControl(DC, moved(K, -cx), DFC_CAPTION, maxState);
        const unsigned minState = DFCS_CAPTIONMIN | ((Frame.BorderIcons & biMinimize) ? 0 : DFCS_INACTIVE);
        frameControl(DC, moved(K, -(2 * cx - 2)), DFC_CAPTION, minState);
    }
    if ((Frame.BorderIcons & biHelp) && closeBox)
        frameControl(DC, moved(K, sizeBoxes ? -3 * cx : -cx), DFC_CAPTION, DFCS_CAPTIONHELP);
}

void TluxFormGrabber::DrawThemedFrame(HDC DC, int X, int Y, const TluxFormFrame& Frame)
{
    if (!DC)
        return;
    HTHEME theme = nullptr;
    if (OpenThemeData && DrawThemeBackground && DrawThemeText && CloseThemeData)
        theme = OpenThemeData(nullptr, u"Window");
    if (!theme) {
        DrawClassicFrame(DC, X, Y, Frame);
        return;
    }
    const int W = Frame.Width, H = Frame.Height, b = Frame.Border, t = Frame.Top;
    const TRect F(X, Y, X + W, Y + H);
    const TRect Q(F.Left + b, F.Top + t, F.Right - b, F.Bottom - b);
    DC->fillSolidRect(F, clBtnFace);
    const QString caption = Frame.Window ? Frame.Window->windowTitle() : QString();
    auto background = [&](int part, int state, const TRect& r) { DrawThemeBackground(theme, DC, part, state, &r, nullptr); };

    const bool small = Frame.BorderStyle == bsToolWindow || Frame.BorderStyle == bsSizeToolWin;
    if (Frame.BorderStyle != bsNone) {
        // The bottom piece spans the whole width, corners included.
        const TRect captionRect(F.Left, F.Top, F.Right, Q.Top);
        const TRect left(F.Left, Q.Top, Q.Left, Q.Bottom);
        const TRect right(Q.Right, Q.Top, F.Right, Q.Bottom);
        const TRect bottom(F.Left, Q.Bottom, F.Right, F.Bottom);
        background(small ? WP_SMALLCAPTION : WP_CAPTION, 1, captionRect);
        background(small ? WP_SMALLFRAMELEFT : WP_FRAMELEFT, 1, left);
        background(small ? WP_SMALLFRAMERIGHT : WP_FRAMERIGHT, 1, right);
        background(small ? WP_SMALLFRAMEBOTTOM : WP_FRAMEBOTTOM, 1, bottom);

        int cx = GetSystemMetrics(small ? SM_CXSMSIZE : SM_CXSIZE);
        TRect K(Q.Right - cx, F.Top + b, Q.Right, Q.Top - 1);
        InflateRect(K, -2, -2);
        if (small) {
            themedCaptionText(DC, theme, WP_SMALLCAPTION, caption, TRect(Q.Left, F.Top + b + 2, F.Right, Q.Top), true);
            if (Frame.BorderIcons & biSystemMenu)
                background(WP_SMALLCLOSEBUTTON, 1, K);
        } else {
            cx -= 2;
            bool icon = false;
            bool close = false;
            if (Frame.BorderIcons & biSystemMenu) {
                if (Frame.BorderStyle != bsDialog) {
                    const TRect iconRect(Q.Left + 1, F.Top + b + 4, Q.Left + 17, F.Top + b + 20);
                    DrawCaption(Frame.Window, DC, &iconRect, DC_ACTIVE | DC_ICON);
                    icon = true;
                }
                background(WP_CLOSEBUTTON, 1, K);
                close = true;
            }
            TRect text(Q.Left, F.Top + b + 4, F.Right, Q.Top);
            OffsetRect(text, (icon && close) ? 22 : 4, 0);
            themedCaptionText(DC, theme, WP_CAPTION, caption, text, false);

            bool sizeButtons = false;
            if ((Frame.BorderStyle == bsSingle || Frame.BorderStyle == bsSizeable)
                && (Frame.BorderIcons & (biMinimize | biMaximize))) {
                sizeButtons = true;
                background(Frame.WindowState == wsMaximized ? WP_RESTOREBUTTON : WP_MAXBUTTON,
                           (Frame.BorderIcons & biMaximize) ? CBS_NORMAL : CBS_DISABLED, moved(K, -cx));
                background(WP_MINBUTTON, (Frame.BorderIcons & biMinimize) ? CBS_NORMAL : CBS_DISABLED, moved(K, -2 * cx));
            }
            if ((Frame.BorderIcons & biHelp) && close && !sizeButtons)
                background(WP_HELPBUTTON, 1, moved(K, -cx));
        }
    }
    CloseThemeData(theme);
}
