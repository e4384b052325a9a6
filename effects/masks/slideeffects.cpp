// Slide procedures, one row at a time: each fills row y of the W x H grid of cell records,
// naming which cell of the new picture shows where. The whole grid is these rows in turn.

#include "effects/masks/generators.h"

#include "effects/masks/cellruns.h"
#include "platform/arith.h"

#include <algorithm>

namespace generators {

void interlaceRow(TluxCell* row, int W, int, int y, int P)
{
    if (P == 0)
        return;
    const int shift = MulDiv(100 - P, W, 100);
    cellruns::fillMovedRun(row, W, (y & 1) ? -int64_t(shift) : int64_t(shift), y);
}

void cornerRow(TluxCell* row, int W, int H, int y, int P)
{
    if (P == 0)
        return;
    const int a = MulDiv(W - 1, P, 100), b = MulDiv(H - 1, P, 100);
    if (y > b)
        return;
    cellruns::fillMovedRun(row, std::min(a + 1, W), int64_t(W) - 1 - a, int64_t(H) - 1 - b + y);
}

} // namespace generators
