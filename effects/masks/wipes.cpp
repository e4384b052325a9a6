// "Fade" and the row wipes: from the top, from both edges inwards, from the middle outwards.

#include "effects/masks/generators.h"
#include "effects/masks/maskrows.h"

#include "platform/arith.h"

namespace generators {

void fadeWhole(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const auto v = uint8_t(RoundHalfEven(double(P) / 100 * 255));
    if (m.plan)
        m.plan->constant(v);
    else
        m.fill(v);
}

void rowsDown(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    maskFillRect(m, 0, 0, m.W - 1, MulDiv(P, m.H - 1, 100), v);
}

void rowsIn(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int k = MulDiv(P, half(m.H), 100);
    maskFillRect(m, 0, m.H - 1 - k, m.W - 1, m.H - 1, v);
    maskFillRect(m, 0, 0, m.W - 1, k, v);
}

void rowsOut(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int cy = half(m.H);
    const int k = MulDiv(P, cy, 100);
    maskFillRect(m, 0, cy - k, m.W - 1, cy + k, v);
}

void smoothDown(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = MulDiv(int(RoundHalfEven(1.5 * m.H)), P, 100);
    const GradientBand band(P, n);
    for (int k = 0; k <= n && k < m.H; ++k)
        maskFillRow(m, k, band.level(k));
}

void smoothIn(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = MulDiv(int(RoundHalfEven(0.8 * m.H)), P, 100);
    const GradientBand band(P, n);
    const int cy = half(m.H);
    for (int k = 0; k <= n && k <= cy; ++k) {
        maskFillRow(m, m.H - 1 - k, band.level(k));
        maskFillRow(m, k, band.level(k));
    }
}

void smoothOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = MulDiv(int(RoundHalfEven(0.8 * m.H)), P, 100);
    const GradientBand band(P, n);
    const int cy = half(m.H);
    for (int k = 0; k <= n && k <= cy; ++k) {
        maskFillRow(m, cy - k, band.level(k));
        maskFillRow(m, cy + k, band.level(k));
    }
}

} // namespace generators
