#include "effects/util/pixelformat.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

uint8_t CPixelFormat = pfCustom;

uint8_t pixelFormatForBitsPerPixel(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
    }
}

uint8_t GetPixelFormat()
{
    uint8_t format = pfCustom;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::primaryScreen()) {
        // A small pixmap takes the screen's native layout, as a device-dependent
        // bitmap would; its image tells how many bits each pixel occupies.
        QPixmap probe(4, 4);
        probe.fill(Qt::black);
        const QImage image = probe.toImage();
        if (!image.isNull())
            format = pixelFormatForBitsPerPixel(image.depth());
    }
    CPixelFormat = format;
    return format;
}
