// A hand sweeping about the bottom-left corner: its tip climbs the right edge, then runs along
// the top edge.

#include "effects/engine/generators.h"

#include "platform/arith.h"

namespace generators {

void rotateHand(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int W = m.W, H = m.H;
    const int c = MulDiv(W + H, P, 100);
    for (int i = 0; i <= c; ++i) {
        if (i < H)
            maskLine(m, 0, H - 1, W - 1, H - i, v);
        else
            maskLine(m, 0, H - 1, W + i - c, 0, v);
    }
}

void smoothRotateHand(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int W = m.W, H = m.H;
    const int n = MulDiv(2 * (W + H), P, 100);
    const GradientBand band(P, n);
    for (int i = 0; i <= n; ++i) {
        if (i < H)
            maskLine(m, 0, H - 1, W - 1, H - i, band.level(i));
        else
            maskLine(m, 0, H - 1, W + H - i, 0, band.level(i));
    }
}

} // namespace generators
