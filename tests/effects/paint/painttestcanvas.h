#pragma once
// A small memory canvas for the painting tests: a Format_ARGB32 image, a device
// context over it and a canvas on that context.

#include "canvas.h"
#include "devicecontext.h"

#include <QImage>

struct TestCanvas {
    QImage image;
    DeviceContext dc;
    TCanvas canvas;

    TestCanvas(int w, int h, QRgb fill = 0xFFFFFFFF)
        : image(w, h, QImage::Format_ARGB32), dc(&image), canvas(&dc)
    {
        image.fill(fill);
    }

    // The pixel at device (x, y) as 0xAARRGGBB.
    QRgb at(int x, int y) const { return image.pixel(x, y); }
};

// 0x00BBGGRR -> 0xFFRRGGBB.
constexpr QRgb opaque(uint32_t tcolor)
{
    return 0xFF000000u | ((tcolor & 0xFF) << 16) | (tcolor & 0xFF00) | ((tcolor >> 16) & 0xFF);
}
