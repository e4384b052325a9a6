#include "effects/util/halftonebrush.h"

LogBrush CreateHalftoneBrush(TColor Color)
{
    const uint32_t face = ColorToRGB(clBtnFace);
    const uint32_t ink = ColorToRGB(Color);
    // TColor is 0x00BBGGRR; the pattern image holds 0xAARRGGBB pixels.
    auto argb = [](uint32_t c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); };
    QImage pattern(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y) {
        auto* row = reinterpret_cast<QRgb*>(pattern.scanLine(y));
        for (int x = 0; x < 8; ++x)
            row[x] = ((x + y) % 2 == 0) ? argb(ink) : argb(face);
    }
    LogBrush brush;
    brush.Style = BrushStyle::Pattern;
    brush.Color = Color;
    brush.Pattern = pattern;
    return brush;
}
