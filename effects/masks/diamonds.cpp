// Diamonds growing from the centre: filled by nested outlines, or soft outlines.

#include "effects/masks/generators.h"

#include "effects/masks/shapecover.h"

#include "platform/arith.h"

namespace generators {

namespace {

// Outline k of the diamond family: half-extents k scaled to the grid's aspect.
void diamondShape(int W, int H, int k, MaskPen& pen)
{
    const bool wide = H < W;
    const int a = int(RoundHalfEven(k * (wide ? 1.0 : double(W) / H)));
    const int b = int(RoundHalfEven(k * (wide ? double(H) / W : 1.0)));
    const int cx = half(W), cy = half(H);
    pen.line(cx, cy + b, cx - a, cy);
    pen.line(cx - a, cy, cx, cy - b);
    pen.line(cx, cy - b, cx + a, cy);
    pen.line(cx + a, cy, cx, cy + b);
}

int largerSide(const MaskGrid& m)
{
    return m.H < m.W ? m.W : m.H;
}

} // namespace

void diamondOut(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    shapesUpTo(m, diamondShape, MulDiv(P, largerSide(m), 100), v);
}

void smoothDiamondOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = half(MulDiv(P, int(RoundHalfEven(2.5 * largerSide(m))), 100));
    softShapesUpTo(m, diamondShape, GradientBand(P, n).levels(n));
}

} // namespace generators
