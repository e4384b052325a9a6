// Diagonal wipes: from the top-left corner, two corner triangles meeting on the main diagonal,
// and a band spreading from a diagonal; each with a fixed value and a soft version.

#include "effects/masks/generators.h"

#include "effects/masks/linefans.h"
#include "effects/masks/linerows.h"
#include "effects/masks/shapecover.h"

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

namespace {

// A corner triangle up to `across`, then the fan of lines up to `along`, drawn from its fixed
// end or towards it (see FanSpans for the frames).
void triangleAndFan(MaskGrid& m, bool perColumn, bool mirrorAlong, bool mirrorAcross, bool fromFixed, int across,
                    int along, uint8_t v)
{
    FanSpans spans(m, perColumn, mirrorAlong, mirrorAcross);
    spans.triangle(across);
    if (fromFixed)
        spans.fanFromFixed(across, along);
    else
        spans.fanToFixed(across, along);
    spans.paint(m, v);
}

} // namespace

// Lines (0, k) -> (l, 0) with l = 0 .. 2a and k = min(l, 2b) when 2b < 2a: the diagonals of the
// corner triangle up to 2b, then a fan from (0, 2b); otherwise k = 0 .. 2b and l = min(k, 2a):
// the triangle up to 2a, then lines from the left edge to (2a, 0).
void diagonalWipe(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int A = 2 * MulDiv(m.W - 1, P, 100), B = 2 * MulDiv(m.H - 1, P, 100);
    if (B < A)
        triangleAndFan(m, true, false, false, true, B, A, v);
    else
        triangleAndFan(m, false, false, false, false, A, B, v);
}

// Each corner gets the diagonals of a triangle and then a fan of lines with one end fixed: the
// bottom-left one seen from its corner (rows counted upwards), the top-right one likewise
// (columns counted leftwards). With i < c the fans run along the columns, else along the rows.
void cornerTriangles(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int i = roundInt(double(P) / 100 * (m.H - 1));
    const int c = roundInt(double(P) / 100 * (m.W - 1));
    const bool cols = i < c;
    const int across = cols ? i : c, along = cols ? c : i;
    // Bottom-left: lines (0, H - 1 - k) -> (t, H - 1), drawn from the left edge.
    triangleAndFan(m, cols, !cols, cols, cols, across, along, v);
    // Top-right: lines (W - 1 - t, 0) -> (W - 1, k), drawn from the top edge.
    triangleAndFan(m, cols, cols, !cols, !cols, across, along, v);
}

namespace {

// Line k of the soft wipe from the top-left corner, its ends k scaled to the grid's aspect.
void diagonalShape(int W, int H, int k, MaskPen& pen)
{
    double rx = 1, ry = 1;
    if (H < W)
        ry = double(H) / W;
    else
        rx = double(W) / H;
    pen.line(0, roundInt(k * ry), roundInt(k * rx), 0);
}

} // namespace

void smoothDiagonal(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    const int n = MulDiv(P, roundInt(2.5 * diagonalLength(m)), 100);
    softShapesUpTo(m, diagonalShape, GradientBand(P, n).levels(n));
}

namespace {

// Extents f and g of shape i of the two soft two-corner diagonals, i scaled to the aspect.
void cornerExtents(int W, int H, int i, int& f, int& g)
{
    double tx = 1, ty = 1;
    if (W >= H)
        ty = double(H) / W;
    else
        tx = double(W) / H;
    f = roundInt(i * tx);
    g = roundInt(i * ty);
}

// Shape i of the soft triangles at the bottom-left and top-right corners.
void cornersInShape(int W, int H, int i, MaskPen& pen)
{
    int f, g;
    cornerExtents(W, H, i, f, g);
    pen.line(0, H - 1 - g, f, H - 1);
    pen.line(W - f, 0, W - 1, g);
}

// Shape i of the soft band about the anti-diagonal.
void cornersOutShape(int W, int H, int i, MaskPen& pen)
{
    int f, g;
    cornerExtents(W, H, i, f, g);
    pen.line(0, H - 1 - g, W - f, 0);
    pen.line(f, H - 1, W - 1, g);
}

// Shapes i = 0 .. 2b while i < L, with b from the diagonal and the progress, and the level of a
// half step per shape.
void softCornerShapes(MaskGrid& m, int P, MaskShape shape)
{
    const int b = MulDiv(roundInt(diagonalLength(m)), P, 100);
    const int n = std::min(2 * b, std::max(m.W, m.H) - 1);
    softShapesUpTo(m, shape, GradientBand(P, b).halfStepLevels(n));
}

} // namespace

void smoothDiagonalIn(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    softCornerShapes(m, P, cornersInShape);
}

// Two families of lines with both ends moving, each painted as one run per row.
void diagonalBand(MaskGrid& m, int P, uint8_t v)
{
    if (P == 0)
        return;
    const int W = m.W, H = m.H;
    const int i = roundInt(double(P) / 100 * (H - 1));
    const int j = roundInt(double(P) / 100 * (W - 1));
    std::vector<MaskSegment> first, second;
    if (i < j) {
        for (int t = 0, l = 0; t <= j; ++t, l = std::min(l + 1, i))
            first.push_back({0, l, W - 1 - t, H - 1});
        for (int t = 0, k = 0; t <= j; ++t, k = std::min(k + 1, i))
            second.push_back({t, 0, W, H - k});
    } else {
        for (int t = 0, l = 0; t <= i; ++t, l = std::min(l + 1, j))
            first.push_back({l, 0, W - 1, H - 1 - t});
        for (int t = 0, k = 0; t <= i; ++t, k = std::min(k + 1, j))
            second.push_back({0, t, W - 1 - k, H - 1});
    }
    paintLineFamily(m, first, v);
    paintLineFamily(m, second, v);
}

void smoothDiagonalOut(MaskGrid& m, int P)
{
    if (P == 0)
        return;
    softCornerShapes(m, P, cornersOutShape);
}

} // namespace generators
