// Diamonds growing from the centre: filled by nested outlines, or soft outlines.

#include "effects/engine/generators.h"

#include "platform/arith.h"

namespace generators {

namespace {

// Outline k of the diamond family: half-extents k scaled to the grid's aspect.
void diamondShape(MaskGrid& m, int k, uint8_t v)
{
    const bool wide = m.H < m.W;
    const int a = int(RoundHalfEven(k * (wide ? 1.0 : double(m.W) / m.H)));
    const int b = int(RoundHalfEven(k * (wide ? double(m.H) / m.W : 1.0)));
    maskDiamond(m, half(m.W), half(m.H), a, b, v);
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
    const int n = MulDiv(P, largerSide(m), 100);
    for (int k = 0; k <= n; ++k)
        diamondShape(m, k, v);
}

void smoothDiamondOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = half(MulDiv(P, int(RoundHalfEven(2.5 * largerSide(m))), 100));
    const GradientBand band(P, n);
    for (int k = 0; k <= n; ++k)
        diamondShape(m, k, band.level(k));
}

} // namespace generators
