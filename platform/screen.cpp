#include "platform/screen.h"

#include "platform/devicepixels.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

QImage CaptureScreen(const TRect& r, qreal ratio)
{
    const int w = std::max(0, r.Width()), h = std::max(0, r.Height());
    QImage out(ToDevicePixels(QSize(w, h), ratio), QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    out.fill(0xFF000000u);
    // Painted in logical coordinates; each screen's copy comes at that
    // screen's device pixels and lands 1:1 on ours where the ratios agree.
    out.setDevicePixelRatio(ratio);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect want(r.Left, r.Top, w, h);
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect geo = screen->geometry();
        const QRect part = geo.intersected(want);
        if (part.isEmpty())
            continue;
        const QPixmap shot = screen->grabWindow(0, part.x() - geo.x(), part.y() - geo.y(), part.width(), part.height());
        p.drawImage(part.topLeft() - want.topLeft(), shot.toImage().convertToFormat(QImage::Format_ARGB32));
    }
    p.end();
    out.setDevicePixelRatio(1);
    return out;
}

int GetSystemMetrics(int index)
{
    QStyle* style = QApplication::style();
    QScreen* screen = QGuiApplication::primaryScreen();
    const int scroll = style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    const int caption = style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 19;
    const int smallIcon = style ? style->pixelMetric(QStyle::PM_SmallIconSize) : 16;
    const int icon = style ? style->pixelMetric(QStyle::PM_LargeIconSize) : 32;
    switch (index) {
    case SM_CXSCREEN: return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN: return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return scroll;
    case SM_CYCAPTION: return caption;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON: return icon;
    case SM_CYMENU: return caption;
    // Caption buttons are one pixel smaller than the caption, as in the classic look.
    case SM_CXSIZE:
    case SM_CYSIZE: return caption - 1;
    case SM_CXSMICON:
    case SM_CYSMICON: return smallIcon;
    case SM_CYSMCAPTION: return smallIcon - 1;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE: return smallIcon - 2;
    case SM_XVIRTUALSCREEN: return screen ? screen->virtualGeometry().x() : 0;
    case SM_YVIRTUALSCREEN: return screen ? screen->virtualGeometry().y() : 0;
    case SM_CXVIRTUALSCREEN: return screen ? screen->virtualGeometry().width() : 0;
    case SM_CYVIRTUALSCREEN: return screen ? screen->virtualGeometry().height() : 0;
    case SM_CMONITORS: return int(QGuiApplication::screens().size());
    default: return 0;
    }
}

int ScreenDepth()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}
