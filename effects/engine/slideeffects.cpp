// Slide procedures: fill cell records naming which cell of the new picture shows where.

#include "effects/engine/generators.h"

#include "platform/arith.h"

#include <algorithm>
#include <limits>

namespace generators {

namespace {

// Source cells far outside the grid stay outside it instead of wrapping into 16 bits.
int16_t cellCoordinate(int64_t v)
{
    return int16_t(std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(),
                                       std::numeric_limits<int16_t>::max()));
}

} // namespace

void interlace(TluxCell* cells, int W, int H, int P)
{
    if (P == 0)
        return;
    const int shift = MulDiv(100 - P, W, 100);
    for (int y = 0; y < H; ++y) {
        TluxCell* row = cells + size_t(y) * size_t(W);
        const int offset = (y & 1) ? -shift : shift;
        for (int x = 0; x < W; ++x) {
            row[x].Alpha = 255;
            row[x].SourceX = cellCoordinate(int64_t(x) + offset);
            row[x].SourceY = cellCoordinate(y);
        }
    }
}

void corner(TluxCell* cells, int W, int H, int P)
{
    if (P == 0)
        return;
    const int a = MulDiv(W - 1, P, 100), b = MulDiv(H - 1, P, 100);
    for (int y = 0; y <= b && y < H; ++y) {
        TluxCell* row = cells + size_t(y) * size_t(W);
        for (int x = 0; x <= a && x < W; ++x) {
            row[x].Alpha = 255;
            row[x].SourceX = cellCoordinate(int64_t(W) - 1 - a + x);
            row[x].SourceY = cellCoordinate(int64_t(H) - 1 - b + y);
        }
    }
}

} // namespace generators
