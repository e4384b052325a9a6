// "Stream": every column fills from the top after its own random delay.

#include "effects/masks/generators.h"

#include "platform/arith.h"
#include "effects/masks/randomgen.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace generators {

// Each column has a head (starting at minus its delay, 0..79, smoothed with its neighbours)
// and a floor (H - 1). A step writes 255 at the head when it is inside the column and moves
// it down; a head past the floor restarts at the top with the floor one higher. The first
// descent already sets every cell down to H - 1, and later descents only rewrite set cells,
// so after `steps` steps a column with delay d is set in rows 0 .. steps - 1 - d: the mask
// is drawn from that directly, row by row.
void stream(MaskGrid& m, int P)
{
    const int W = m.W, H = m.H;
    RandSeed = uint32_t(W) * uint32_t(H);
    std::vector<int32_t> head(static_cast<size_t>(W));
    for (int x = 0; x < W; ++x)
        head[size_t(x)] = -int32_t(Random(80));
    for (int j = 1; j <= 8; ++j) {
        if (W - j - 1 < j)
            continue;
        for (int x = j; x <= W - 1 - j; ++x)
            head[size_t(x)] = (head[size_t(x) - 1] + 2 * head[size_t(x)] + head[size_t(x) + 1]) / 4;
    }
    // The heads start up to 79 rows above the top, so the front travels H + 79 rows: at P = 100
    // even the highest head has reached the bottom.
    const int steps = MulDiv(H + 79, P, 100) + 1;
    std::vector<int32_t> lastRow(static_cast<size_t>(W));
    int32_t full = H - 1, reach = -1; // rows every column reaches, and the lowest any reaches
    for (int x = 0; x < W; ++x) {
        const int32_t lowest = std::min(H - 1, steps - 1 + head[size_t(x)]);
        lastRow[size_t(x)] = lowest;
        full = std::min(full, lowest);
        reach = std::max(reach, lowest);
    }
    // The heads lie within 80 rows of each other, so only that band is decided cell by cell.
    if (full >= 0)
        std::memset(m.Bits, 255, size_t(W) * size_t(full + 1));
    const int32_t* last = lastRow.data();
    for (int y = std::max(full + 1, 0); y <= reach; ++y) {
        uint8_t* row = m.row(y);
        for (int x = 0; x < W; ++x)
            row[x] |= uint8_t(-int32_t(y <= last[x]));
    }
}

} // namespace generators
