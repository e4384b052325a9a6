#pragma once
// A small memory canvas for the painting tests: a Format_ARGB32 image, a device
// context over it and a canvas on that context.

#include "platform/canvas.h"
#include "platform/devicecontext.h"

#include <QImage>

#include <map>
#include <string>

struct TestCanvas {
    QImage image;
    DeviceContext dc;
    TCanvas canvas;

    TestCanvas(int w, int h, QRgb fill = 0xFFFFFFFF) : image(w, h, QImage::Format_ARGB32), dc(&image), canvas(&dc)
    {
        image.fill(fill);
    }

    QRgb at(int x, int y) const { return image.pixel(x, y); }

    // The image as one character per pixel, rows joined by '|': the key of the
    // pixel's colour in `names`, '?' for any other colour.
    std::string map(const std::map<QRgb, char>& names) const
    {
        std::string s;
        for (int y = 0; y < image.height(); ++y) {
            if (y)
                s += '|';
            for (int x = 0; x < image.width(); ++x) {
                const auto it = names.find(at(x, y));
                s += it == names.end() ? '?' : it->second;
            }
        }
        return s;
    }
};

// 0x00BBGGRR -> 0xFFRRGGBB.
constexpr QRgb opaque(uint32_t tcolor)
{
    return 0xFF000000u | ((tcolor & 0xFF) << 16) | (tcolor & 0xFF00) | ((tcolor >> 16) & 0xFF);
}
