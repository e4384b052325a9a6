// Plus sign and centred rectangle growing from the centre, filled or as soft outlines.

#include "effects/engine/generators.h"

#include "platform/arith.h"

namespace generators {

namespace {

int roundInt(double x)
{
    return int(RoundHalfEven(x));
}

// Extent scaled by the larger side and the per-step ratios of the two axes.
struct Aspect {
    int extent;
    double fx;
    double fy;
};

Aspect aspect(const MaskGrid& m, int P, double scale)
{
    if (m.H < m.W)
        return {MulDiv(P, roundInt(scale * m.W), 100), 1.0, double(m.H) / m.W};
    return {MulDiv(P, roundInt(scale * m.H), 100), double(m.W) / m.H, 1.0};
}

} // namespace

void crossOut(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int cx = half(m.W), cy = half(m.H);
    const int c = MulDiv(P, 2 * m.W, 100), d = MulDiv(P, 2 * m.H, 100);
    // Vertical lines side by side and horizontal lines one below the other: two filled bars.
    maskFillRect(m, cx - c / 4, cy - d, cx + c / 4, cy + d, v);
    maskFillRect(m, cx - c, cy - d / 4, cx + c, cy + d / 4, v);
}

void smoothCrossOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int cx = half(m.W), cy = half(m.H);
    const Aspect g = aspect(m, P, 2.5);
    const int n = half(g.extent);
    const GradientBand band(P, n);
    for (int k = 0; k <= n; ++k) {
        const int t = roundInt(g.fx * k), a = roundInt(g.fy * k);
        const int t2 = t / 2, e = a / 2;
        const int corners[12][2] = {
            {cx - t2, cy + a}, {cx - t2, cy + e}, {cx - t, cy + e},  {cx - t, cy - e},
            {cx - t2, cy - e}, {cx - t2, cy - a}, {cx + t2, cy - a}, {cx + t2, cy - e},
            {cx + t, cy - e},  {cx + t, cy + e},  {cx + t2, cy + e}, {cx + t2, cy + a},
        };
        maskPolygon(m, corners, 12, band.level(k));
    }
}

void rectOut(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int cx = half(m.W), cy = half(m.H);
    const Aspect r = aspect(m, P, 1.0);
    for (int k = 0; k <= half(r.extent); ++k) {
        const int a = roundInt(r.fx * k), b = roundInt(r.fy * k);
        maskRectOutline(m, cx - a, cy - b, cx + a, cy + b, v);
    }
}

void smoothRectOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int cx = half(m.W), cy = half(m.H);
    const Aspect r = aspect(m, P, 1.6);
    const int n = half(r.extent);
    const GradientBand band(P, n);
    for (int k = 0; k <= n; ++k) {
        const int a = roundInt(r.fx * k), b = roundInt(r.fy * k);
        maskRectOutline(m, cx - a, cy - b, cx + a, cy + b, band.level(k));
    }
}

} // namespace generators
