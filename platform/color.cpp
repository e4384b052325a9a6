#include "platform/color.h"

#include <QApplication>
#include <QPalette>

namespace {

QColor paletteColor(int index)
{
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case COLOR_SCROLLBAR: return pal.color(QPalette::Midlight);
    case COLOR_BACKGROUND: return QColor(0, 128, 128);
    case COLOR_ACTIVECAPTION: return QColor(0, 0, 128);
    case COLOR_INACTIVECAPTION: return QColor(128, 128, 128);
    case COLOR_MENU: return pal.color(QPalette::Window);
    case COLOR_WINDOW: return pal.color(QPalette::Base);
    case COLOR_WINDOWFRAME: return QColor(0, 0, 0);
    case COLOR_MENUTEXT: return pal.color(QPalette::WindowText);
    case COLOR_WINDOWTEXT: return pal.color(QPalette::Text);
    case COLOR_CAPTIONTEXT: return QColor(255, 255, 255);
    case COLOR_ACTIVEBORDER: return pal.color(QPalette::Button);
    case COLOR_INACTIVEBORDER: return pal.color(QPalette::Button);
    case COLOR_APPWORKSPACE: return pal.color(QPalette::Mid);
    case COLOR_HIGHLIGHT: return pal.color(QPalette::Highlight);
    case COLOR_HIGHLIGHTTEXT: return pal.color(QPalette::HighlightedText);
    case COLOR_BTNFACE: return pal.color(QPalette::Button);
    case COLOR_BTNSHADOW: return pal.color(QPalette::Dark);
    case COLOR_GRAYTEXT: return pal.color(QPalette::Disabled, QPalette::Text);
    case COLOR_BTNTEXT: return pal.color(QPalette::ButtonText);
    case COLOR_INACTIVECAPTIONTEXT: return QColor(192, 192, 192);
    case COLOR_BTNHIGHLIGHT: return pal.color(QPalette::Light);
    case COLOR_3DDKSHADOW: return pal.color(QPalette::Shadow);
    case COLOR_3DLIGHT: return pal.color(QPalette::Midlight);
    case COLOR_INFOTEXT: return pal.color(QPalette::ToolTipText);
    case COLOR_INFOBK: return pal.color(QPalette::ToolTipBase);
    case COLOR_HOTLIGHT: return QColor(0, 0, 255);
    case COLOR_GRADIENTACTIVECAPTION: return QColor(16, 132, 208);
    case COLOR_GRADIENTINACTIVECAPTION: return QColor(192, 192, 192);
    default: return QColor(0, 0, 0);
    }
}

} // namespace

uint32_t GetSysColor(int index)
{
    const QColor c = paletteColor(index);
    return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

uint32_t ColorToRGB(TColor c)
{
    if (c < 0)
        return GetSysColor(int(uint32_t(c) & 0xFF));
    return uint32_t(c) & 0x00FFFFFF;
}

QColor TColorToQColor(TColor c)
{
    const uint32_t v = ColorToRGB(c);
    return QColor(GetRValue(v), GetGValue(v), GetBValue(v));
}

TColor QColorToTColor(const QColor& c)
{
    return TColor(RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())));
}
