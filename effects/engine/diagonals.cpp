// Diagonal wipes: from the top-left corner, two corner triangles meeting on the main diagonal,
// and a band spreading from a diagonal; each with a fixed value and a soft version.

#include "effects/engine/generators.h"

#include "platform/arith.h"

#include <algorithm>
#include <cmath>

namespace generators {

namespace {

int roundInt(double x)
{
    return int(RoundHalfEven(x));
}

double diagonalLength(const MaskGrid& m)
{
    return std::sqrt(double(m.W) * m.W + double(m.H) * m.H);
}

} // namespace

void diagonalWipe(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int a = MulDiv(m.W - 1, P, 100), b = MulDiv(m.H - 1, P, 100);
    if (2 * b < 2 * a) {
        int k = 0;
        for (int l = 0; l <= 2 * a; ++l) {
            maskLine(m, 0, k, l, 0, v);
            if (k < 2 * b)
                ++k;
        }
    } else {
        int l = 0;
        for (int k = 0; k <= 2 * b; ++k) {
            maskLine(m, 0, k, l, 0, v);
            if (l < 2 * a)
                ++l;
        }
    }
}

void smoothDiagonal(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = MulDiv(P, roundInt(2.5 * diagonalLength(m)), 100);
    double rx = 1, ry = 1;
    if (m.H < m.W)
        ry = double(m.H) / m.W;
    else
        rx = double(m.W) / m.H;
    const GradientBand band(P, n);
    for (int k = 0; k <= n; ++k)
        maskLine(m, 0, roundInt(k * ry), roundInt(k * rx), 0, band.level(k));
}

void cornerTriangles(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int W = m.W, H = m.H;
    const int i = roundInt(double(P) / 100 * (H - 1));
    const int c = roundInt(double(P) / 100 * (W - 1));
    if (i < c) {
        int l = 0;
        for (int t = 0; t <= c; ++t) {
            maskLine(m, 0, H - 1 - l, t, H - 1, v);
            if (l < i)
                ++l;
        }
        int k = 0;
        for (int t = 0; t <= c; ++t) {
            maskLine(m, W - 1 - t, 0, W - 1, k, v);
            if (k < i)
                ++k;
        }
    } else {
        int l = 0;
        for (int t = 0; t <= i; ++t) {
            maskLine(m, 0, H - 1 - t, l, H - 1, v);
            if (l < c)
                ++l;
        }
        int b = W - 1;
        for (int t = 0; t <= i; ++t) {
            maskLine(m, b, 0, W - 1, t, v);
            if (b > W - 1 - c)
                --b;
        }
    }
}

namespace {

// Shared by the two soft two-corner diagonals: shape i (0 .. 2b, while i < L) with its x and
// y extents f and g and its level; `draw` puts the shape's two lines.
template <typename Draw>
void softCornerShapes(MaskGrid& m, int P, Draw draw)
{
    const int b = MulDiv(roundInt(diagonalLength(m)), P, 100);
    double tx = 1, ty = 1;
    if (m.W >= m.H)
        ty = double(m.H) / m.W;
    else
        tx = double(m.W) / m.H;
    const GradientBand band(P, b);
    const int L = std::max(m.W, m.H);
    for (int i = 0; i <= 2 * b && i < L; ++i)
        draw(roundInt(i * tx), roundInt(i * ty), band.halfStepLevel(i));
}

} // namespace

void smoothDiagonalIn(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int W = m.W, H = m.H;
    softCornerShapes(m, P, [&](int f, int g, uint8_t v) {
        maskLine(m, 0, H - 1 - g, f, H - 1, v);
        maskLine(m, W - f, 0, W - 1, g, v);
    });
}

void diagonalBand(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int W = m.W, H = m.H;
    const int i = roundInt(double(P) / 100 * (H - 1));
    const int j = roundInt(double(P) / 100 * (W - 1));
    if (i < j) {
        int l = 0;
        for (int t = 0; t <= j; ++t) {
            maskLine(m, 0, l, W - 1 - t, H - 1, v);
            if (l < i)
                ++l;
        }
        int k = 0;
        for (int t = 0; t <= j; ++t) {
            maskLine(m, t, 0, W, H - k, v);
            if (k < i)
                ++k;
        }
    } else {
        int l = 0;
        for (int t = 0; t <= i; ++t) {
            maskLine(m, l, 0, W - 1, H - 1 - t, v);
            if (l < j)
                ++l;
        }
        int k = 0;
        for (int t = 0; t <= i; ++t) {
            maskLine(m, 0, t, W - 1 - k, H - 1, v);
            if (k < j)
                ++k;
        }
    }
}

void smoothDiagonalOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int W = m.W, H = m.H;
    softCornerShapes(m, P, [&](int f, int g, uint8_t v) {
        maskLine(m, 0, H - 1 - g, W - f, 0, v);
        maskLine(m, f, H - 1, W - 1, g, v);
    });
}

} // namespace generators
