// Circles about the centre (growing discs, closing rings) and about the bottom-left corner.

#include "effects/masks/generators.h"

#include "effects/masks/circlecover.h"
#include "effects/masks/maskrows.h"

#include "platform/arith.h"

#include <cmath>

namespace generators {

namespace {

int roundedDiagonal(const MaskGrid& m, double scale = 1.0)
{
    return int(RoundHalfEven(scale * std::sqrt(double(m.W) * m.W + double(m.H) * m.H)));
}

void concentric(MaskGrid& m, int cx, int cy, int r0, int r1, uint8_t v)
{
    if (coverRing(m, cx, cy, r0, r1, v))
        return;
    if (m.plan) { // a planning grid has no bytes to draw on
        m.plan->fail();
        return;
    }
    for (int r = r0; r <= r1; ++r)
        maskCircle(m, cx, cy, r, v);
}

void softConcentric(MaskGrid& m, int cx, int cy, int P, int n)
{
    if (coverSoft(m, cx, cy, P, n))
        return;
    if (m.plan) {
        m.plan->fail();
        return;
    }
    const GradientBand band(P, n);
    for (int k = 0; k <= n; ++k)
        maskCircle(m, cx, cy, k, band.level(k));
}

} // namespace

// Drawn at P = 0 too: the radius-0 circle.
void circleOut(MaskGrid& m, int P, uint8_t v)
{
    const int e = MulDiv(roundedDiagonal(m), P, 100);
    concentric(m, half(m.W), half(m.H), 0, half(e), v);
}

void smoothCircleOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    softConcentric(m, half(m.W), half(m.H), P, MulDiv(roundedDiagonal(m, 0.9), P, 100));
}

// Drawn at P = 0 too: the outer ring of radius R.
void circleIn(MaskGrid& m, int P, uint8_t v)
{
    const int R = roundedDiagonal(m) / 2;
    const int e = MulDiv(roundedDiagonal(m), P, 100);
    concentric(m, half(m.W), half(m.H), R - half(e), R, v);
}

// Drawn at P = 0 too: the corner cell.
void cornerCircle(MaskGrid& m, int P, uint8_t v)
{
    const int e = MulDiv(roundedDiagonal(m), P, 100);
    concentric(m, 0, m.H - 1, 0, e, v);
}

void smoothCornerCircle(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    softConcentric(m, 0, m.H - 1, P, MulDiv(roundedDiagonal(m, 1.5), P, 100));
}

} // namespace generators
