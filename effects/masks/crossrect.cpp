// Plus sign and centred rectangle growing from the centre, filled or as soft outlines.

#include "effects/masks/generators.h"

#include "effects/masks/shapecover.h"

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

Aspect aspect(int W, int H, int P, double scale)
{
    if (H < W)
        return {MulDiv(P, roundInt(scale * W), 100), 1.0, double(H) / W};
    return {MulDiv(P, roundInt(scale * H), 100), double(W) / H, 1.0};
}

// Outline k of the soft plus sign: twelve corners about the centre.
void crossShape(int W, int H, int k, MaskPen& pen)
{
    const int cx = half(W), cy = half(H);
    const Aspect g = aspect(W, H, 0, 1.0);
    const int t = roundInt(g.fx * k), a = roundInt(g.fy * k);
    const int t2 = t / 2, e = a / 2;
    const int corners[12][2] = {
        {cx - t2, cy + a}, {cx - t2, cy + e}, {cx - t, cy + e},  {cx - t, cy - e},
        {cx - t2, cy - e}, {cx - t2, cy - a}, {cx + t2, cy - a}, {cx + t2, cy - e},
        {cx + t, cy - e},  {cx + t, cy + e},  {cx + t2, cy + e}, {cx + t2, cy + a},
    };
    for (int i = 0; i < 12; ++i) {
        const int* from = corners[i];
        const int* to = corners[(i + 1) % 12];
        pen.line(from[0], from[1], to[0], to[1]);
    }
}

// Outline k of the centred rectangle, its half-extents k scaled to the grid's aspect.
void rectShape(int W, int H, int k, MaskPen& pen)
{
    const int cx = half(W), cy = half(H);
    const Aspect r = aspect(W, H, 0, 1.0);
    const int x0 = cx - roundInt(r.fx * k), y0 = cy - roundInt(r.fy * k);
    const int x1 = cx + roundInt(r.fx * k), y1 = cy + roundInt(r.fy * k);
    pen.line(x0, y0, x1, y0);
    pen.line(x1, y0, x1, y1);
    pen.line(x1, y1, x0, y1);
    pen.line(x0, y1, x0, y0);
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
    const int n = half(aspect(m.W, m.H, P, 2.5).extent);
    softShapesUpTo(m, crossShape, GradientBand(P, n).levels(n));
}

void rectOut(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    shapesUpTo(m, rectShape, half(aspect(m.W, m.H, P, 1.0).extent), v);
}

void smoothRectOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = half(aspect(m.W, m.H, P, 1.6).extent);
    softShapesUpTo(m, rectShape, GradientBand(P, n).levels(n));
}

} // namespace generators
