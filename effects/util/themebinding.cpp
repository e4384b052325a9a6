#include "effects/util/themebinding_p.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

struct ThemeData {
    QString className;
    QPointer<QWidget> window;
};

namespace luxtheme {

namespace {

QStyle* currentStyle()
{
    return styleEngineAvailable() ? QApplication::style() : nullptr;
}

QPalette paletteOf(const ThemeData* theme)
{
    return theme->window ? theme->window->palette() : QApplication::palette();
}

// The palette a part is drawn with in a state: inactive and disabled captions are
// grey, as the classic inactive caption is.
QPalette statePalette(const ThemeData* theme, bool active, bool enabled)
{
    QPalette pal = paletteOf(theme);
    pal.setCurrentColorGroup(!enabled ? QPalette::Disabled : active ? QPalette::Active : QPalette::Inactive);
    if (!active || !enabled)
        pal.setColor(QPalette::Highlight, pal.color(QPalette::Mid));
    return pal;
}

bool isCaption(int part) { return part == WP_CAPTION || part == WP_SMALLCAPTION; }

bool isFrame(int part)
{
    return part == WP_FRAMELEFT || part == WP_FRAMERIGHT || part == WP_FRAMEBOTTOM || part == WP_SMALLFRAMELEFT
        || part == WP_SMALLFRAMERIGHT || part == WP_SMALLFRAMEBOTTOM;
}

bool buttonIcon(int part, QStyle::StandardPixmap& icon)
{
    switch (part) {
    case WP_MINBUTTON: icon = QStyle::SP_TitleBarMinButton; return true;
    case WP_MAXBUTTON: icon = QStyle::SP_TitleBarMaxButton; return true;
    case WP_CLOSEBUTTON:
    case WP_SMALLCLOSEBUTTON: icon = QStyle::SP_TitleBarCloseButton; return true;
    case WP_RESTOREBUTTON: icon = QStyle::SP_TitleBarNormalButton; return true;
    case WP_HELPBUTTON: icon = QStyle::SP_TitleBarContextHelpButton; return true;
    default: return false;
    }
}

void drawCaption(QStyle* style, QPainter& p, const QRect& r, const QPalette& pal, bool active, bool enabled)
{
    QStyleOptionTitleBar opt;
    opt.rect = r;
    opt.palette = pal;
    opt.state = QStyle::State_None;
    if (enabled)
        opt.state |= QStyle::State_Enabled;
    if (active)
        opt.state |= QStyle::State_Active;
    opt.titleBarState = active ? Qt::WindowActive : Qt::WindowNoState;
    opt.titleBarFlags = Qt::Window | Qt::WindowTitleHint;
    opt.subControls = QStyle::SC_TitleBarLabel; // the text is DrawThemeText's job
    style->drawComplexControl(QStyle::CC_TitleBar, &opt, &p);
}

// A frame strip: the window frame drawn around a rectangle that reaches far past
// the strip on its inner sides, so only the strip's outer edge shows.
void drawFrameStrip(QStyle* style, QPainter& p, const QRect& r, int part, const QPalette& pal)
{
    constexpr int reach = 1 << 14;
    QRect whole = r;
    switch (part) {
    case WP_FRAMELEFT:
    case WP_SMALLFRAMELEFT: whole.adjust(0, -reach, reach, reach); break;
    case WP_FRAMERIGHT:
    case WP_SMALLFRAMERIGHT: whole.adjust(-reach, -reach, 0, reach); break;
    default: whole.adjust(-reach, -reach, reach, 0); break; // bottom
    }
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.fillRect(r, pal.button());
    QStyleOptionFrame opt;
    opt.rect = whole;
    opt.palette = pal;
    opt.state = QStyle::State_Enabled | QStyle::State_Active;
    opt.lineWidth = std::max(1, style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth));
    style->drawPrimitive(QStyle::PE_FrameWindow, &opt, &p);
    p.restore();
}

void drawCaptionButton(QStyle* style, QPainter& p, const QRect& r, QStyle::StandardPixmap icon, int state,
    const QPalette& pal)
{
    QStyleOptionButton opt;
    opt.rect = r;
    opt.palette = pal;
    opt.state = QStyle::State_None;
    if (state != CBS_DISABLED)
        opt.state |= QStyle::State_Enabled;
    opt.state |= (state == CBS_PUSHED) ? QStyle::State_Sunken : QStyle::State_Raised;
    if (state == CBS_HOT)
        opt.state |= QStyle::State_MouseOver;
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p);
    const int side = std::min(r.width(), r.height()) - 4;
    if (side <= 0)
        return;
    const QPixmap pm = style->standardIcon(icon, &opt).pixmap(QSize(side, side),
        state == CBS_DISABLED ? QIcon::Disabled : QIcon::Normal);
    const QSize shown = pm.deviceIndependentSize().toSize();
    QPoint at = r.center() - QPoint(shown.width() / 2, shown.height() / 2);
    if (state == CBS_PUSHED)
        at += QPoint(1, 1);
    p.drawPixmap(at, pm);
}

} // namespace

bool styleEngineAvailable()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && QApplication::style();
}

HTHEME openThemeData(QWidget* hwnd, const char16_t* pszClassList)
{
    if (!pszClassList || !currentStyle())
        return nullptr;
    const QStringList classes = QString::fromUtf16(pszClassList).split(QLatin1Char(';'));
    for (const QString& name : classes) {
        if (name.trimmed().compare(QLatin1String("Window"), Qt::CaseInsensitive) == 0)
            return new ThemeData{QStringLiteral("Window"), hwnd};
    }
    return nullptr;
}

HRESULT closeThemeData(HTHEME hTheme)
{
    if (!hTheme)
        return E_HANDLE;
    delete hTheme;
    return S_OK;
}

HRESULT drawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect* pRect, const TRect* pClipRect)
{
    if (!hTheme)
        return E_HANDLE;
    QStyle* style = currentStyle();
    QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
    const bool known = isCaption(iPartId) || isFrame(iPartId) || buttonIcon(iPartId, icon);
    if (!style || !hdc || !pRect || !known)
        return E_INVALIDARG;
    const QRect r(pRect->Left, pRect->Top, pRect->Width(), pRect->Height());
    if (r.isEmpty())
        return S_OK;
    const bool active = iStateId != CS_INACTIVE;
    const bool enabled = isCaption(iPartId) ? iStateId != CS_DISABLED : true;
    const QPalette pal = statePalette(hTheme, active, enabled);
    hdc->paint([&](QPainter& p) {
        if (pClipRect)
            p.setClipRect(QRect(pClipRect->Left, pClipRect->Top, pClipRect->Width(), pClipRect->Height()), Qt::IntersectClip);
        if (isCaption(iPartId))
            drawCaption(style, p, r, pal, active, enabled);
        else if (isFrame(iPartId))
            drawFrameStrip(style, p, r, iPartId, pal);
        else
            drawCaptionButton(style, p, r, icon, iStateId, pal);
    });
    return S_OK;
}

HRESULT drawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const char16_t* pszText, int iCharCount,
    uint32_t dwTextFlags, uint32_t dwTextFlags2, const TRect* pRect)
{
    if (!hTheme)
        return E_HANDLE;
    if (!hdc || !pRect || !pszText)
        return E_INVALIDARG;
    const QString text = iCharCount < 0 ? QString::fromUtf16(pszText) : QString::fromUtf16(pszText, iCharCount);
    const bool active = iStateId != CS_INACTIVE;
    const QPalette pal = statePalette(hTheme, active, true);
    QColor color = isCaption(iPartId) ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::ButtonText);
    if (dwTextFlags2 & DTT_GRAYED)
        color = pal.color(QPalette::Disabled, QPalette::Text);
    const int saved = hdc->save();
    hdc->setTextColor(QColorToTColor(color));
    hdc->setBkMode(TRANSPARENT);
    TRect r = *pRect;
    hdc->drawText(text, r, dwTextFlags & ~DT_CALCRECT); // measuring is not this call's job
    hdc->restore(saved);
    return S_OK;
}

int isAppThemed()
{
    return styleEngineAvailable() ? 1 : 0;
}

int isThemeActive()
{
    QStyle* style = currentStyle();
    while (auto* proxy = qobject_cast<QProxyStyle*>(style))
        style = proxy->baseStyle();
    if (!style)
        return 0;
    return style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0 ? 1 : 0;
}

} // namespace luxtheme
