// Linear and radial gradients painted as a bounded number of solid bands or
// discs, one platform fill each, whatever the rectangle's size.

#include "effects/paint/canvaspainting.h"

#include "platform/arith.h"

#include <optional>

namespace {

// One channel run from a begin value to an end value in Steps steps, kept in
// units of 1/255 so that the rounding matches for every step.
struct ChannelRamp {
    double base = 0;
    double delta = 0;

    ChannelRamp(int begin, int end) : base(begin * 255.0), delta(end * 255.0 - begin * 255.0) {}

    // Nearest integer to (i * Delta / Steps + Base) / 255, halves to even.
    int at(int i, int steps) const { return int(RoundHalfEven((i * delta / steps + base) / 255.0)); }
};

struct ColorRamp {
    ChannelRamp red, green, blue;

    ColorRamp(uint32_t begin, uint32_t end)
        : red(GetRValue(begin), GetRValue(end)), green(GetGValue(begin), GetGValue(end)),
          blue(GetBValue(begin), GetBValue(end))
    {
    }

    TColor at(int i, int steps) const
    {
        return TColor(RGB(uint8_t(red.at(i, steps)), uint8_t(green.at(i, steps)), uint8_t(blue.at(i, steps))));
    }
};

} // namespace

void FillGradientRect(TCanvas* Canvas, const TRect& R, TColor BeginColor, TColor EndColor, bool Vertical)
{
    if (!Canvas)
        return;
    const int width = R.Width();
    const int height = R.Height();
    if (width <= 0 || height <= 0)
        return;
    int steps = 255;
    if (!Vertical && width < steps)
        steps = width;
    if (Vertical && height < steps)
        steps = height;

    const ColorRamp ramp(ColorToRGB(BeginColor), ColorToRGB(EndColor));
    Canvas->Brush.Style = BrushStyle::Solid;
    for (int i = 0; i <= steps; ++i) {
        TRect band = R;
        if (Vertical) {
            band.Top = R.Top + MulDiv(i, height, steps);
            band.Bottom = R.Top + MulDiv(i + 1, height, steps);
        } else {
            band.Left = R.Left + MulDiv(i, width, steps);
            band.Right = R.Left + MulDiv(i + 1, width, steps);
        }
        // The first and the last band can reach past R; the one for i = Steps lies
        // wholly outside and paints nothing.
        if ((i == 0 || i == steps) && !IntersectRect(band, band, R))
            continue;
        Canvas->Brush.Color = ramp.at(i, steps);
        Canvas->FillRect(band);
    }
}

void FillRadialGradientRect(TCanvas* Canvas, const TRect& R, TColor BeginColor, TColor EndColor, const TPoint& Center)
{
    if (!Canvas || !Canvas->Handle())
        return;
    const int width = R.Width();
    const int height = R.Height();
    if (width <= 0 || height <= 0)
        return;
    constexpr int steps = 50;
    // Plain RGB values: system-colour codes are not resolved here.
    const ColorRamp ramp{uint32_t(BeginColor), uint32_t(EndColor)};

    // Clip to R for the discs and give the canvas its own clip back afterwards,
    // also when painting raises. A clip the caller had stays in force.
    HDC dc = Canvas->Handle();
    struct ClipGuard {
        HDC dc;
        std::optional<QRegion> saved;
        ~ClipGuard() { dc->selectClipRegion(saved); }
    } guard{dc, dc->clipRegion()};
    dc->intersectClipRect(R);

    const int size = width > height ? width : height;
    const int cx = R.Left + int(RoundHalfEven(double(width) * Center.X / 100.0));
    const int cy = R.Top + int(RoundHalfEven(double(height) * Center.Y / 100.0));
    for (int i = steps; i >= 0; --i) {
        const int radius = MulDiv(i + 1, size, steps);
        FillEllipse(Canvas, TRect(cx - radius, cy - radius, cx + radius, cy + radius), ramp.at(i, steps));
    }
}
