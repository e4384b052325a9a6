#include "effects/util/windowbackground.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#define LUX_HAVE_XLIB 1
#endif

void SetNativeBackground(QWidget* Window, const QImage& Picture)
{
#ifdef LUX_HAVE_XLIB
    if (!Window || !Window->isWindow() || Picture.isNull() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* d = x11 ? x11->display() : nullptr;
    if (!d)
        return;
    const auto w = ::Window(Window->winId());
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, w, &attributes) || attributes.depth < 24)
        return;
    // 0xAARRGGBB words with the alpha byte set: what true-colour visuals of
    // depth 24 and 32 take.
    QImage pixels = Picture.convertToFormat(QImage::Format_RGB32);
    XImage* image = XCreateImage(d, attributes.visual, unsigned(attributes.depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(pixels.bits()), unsigned(pixels.width()),
                                 unsigned(pixels.height()), 32, int(pixels.bytesPerLine()));
    if (!image)
        return;
    image->byte_order = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? LSBFirst : MSBFirst;
    const Pixmap pixmap = XCreatePixmap(d, w, unsigned(pixels.width()), unsigned(pixels.height()),
                                        unsigned(attributes.depth));
    GC gc = XCreateGC(d, pixmap, 0, nullptr);
    XPutImage(d, pixmap, gc, image, 0, 0, 0, 0, unsigned(pixels.width()), unsigned(pixels.height()));
    XFreeGC(d, gc);
    image->data = nullptr; // the pixels belong to the QImage
    XDestroyImage(image);
    XSetWindowBackgroundPixmap(d, w, pixmap);
    XFreePixmap(d, pixmap); // the window keeps its own reference
    // Sent now, ahead of the requests Qt makes next (the map among them).
    XFlush(d);
#else
    Q_UNUSED(Window);
    Q_UNUSED(Picture);
#endif
}
