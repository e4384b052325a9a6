// Random cells: the generator restarts from Seed = N (cells in the grid) on every call and
// draws Random(N) until the wanted number of distinct cells has come up, so every frame
// chooses the same sequence and a higher progress chooses a superset.

#include "effects/engine/generators.h"

#include "platform/arith.h"
#include "effects/engine/pixelorder.h"
#include "effects/engine/randomgen.h"

#include <algorithm>
#include <vector>

namespace generators {

namespace {

// The first k distinct cells of the sequence for this grid; leaves the shared generator where
// drawing them one by one would have left it. Returns their ranks (rank < k: chosen).
const uint32_t* chooseCells(const MaskGrid& m, uint64_t k)
{
    const uint32_t n = uint32_t(m.size());
    const uint32_t count = uint32_t(std::min<uint64_t>(k, n));
    PixelOrder& order = pixelOrder();
    const uint32_t* rank = order.ranks(n, count);
    RandSeed = order.seedAfter(count);
    return rank;
}

void chosenCellsAt(MaskGrid& m, int P, uint8_t v)
{
    const uint64_t k = uint64_t(RoundHalfEven(double(m.size()) * P / 100));
    const uint32_t* __restrict rank = chooseCells(m, k);
    const uint32_t chosen = uint32_t(std::min<uint64_t>(k, m.size()));
    uint8_t* __restrict bits = m.Bits;
    const size_t count = m.size();
    for (size_t c = 0; c < count; ++c)
        bits[c] = uint8_t(v & -uint8_t(rank[c] < chosen));
}

} // namespace

void pixels(MaskGrid& m, int P)
{
    if (P == 0) {
        RandSeed = uint32_t(m.size());
        return;
    }
    chosenCellsAt(m, P, 255);
}

void pixelsFade(MaskGrid& m, int P)
{
    if (P == 0) {
        RandSeed = uint32_t(m.size());
        return;
    }
    chosenCellsAt(m, P, uint8_t(RoundHalfEven(double(P) / 100 * 255)));
}

void pixelLine(MaskGrid& m, int P)
{
    if (P == 0) {
        RandSeed = uint32_t(m.size());
        return;
    }
    const uint64_t k = uint64_t(RoundHalfEven(double(P) * double(m.size()) / 100));
    const uint32_t* rank = chooseCells(m, k);
    // Columns 0 .. Round(P / 100 * (2W - 1)) ramp down from twice the progress level.
    const int last = std::min<int64_t>(m.W - 1, RoundHalfEven(double(P) / 100 * (2.0 * m.W - 1)));
    std::vector<uint8_t> level(size_t(std::max(last + 1, 0)));
    for (int i = 0; i <= last; ++i) {
        const double ramp = double(std::max<int64_t>(0, RoundHalfEven(2.0 * P - i * (m.W * 0.1 / P))));
        level[size_t(i)] = uint8_t(std::min<int64_t>(255, RoundHalfEven(ramp / 100 * 255)));
    }
    // Local, non-aliasing pointers and a mask instead of a condition: about half the cells are
    // chosen in no particular pattern, so a branch here would mispredict half the time.
    const uint32_t chosen = uint32_t(std::min<uint64_t>(k, m.size()));
    const uint8_t* __restrict levels = level.data();
    for (int y = 0; y < m.H; ++y) {
        uint8_t* __restrict row = m.row(y);
        const uint32_t* __restrict rowRank = rank + size_t(y) * size_t(m.W);
        for (int i = 0; i <= last; ++i)
            row[i] = uint8_t(levels[i] & -uint8_t(rowRank[i] < chosen));
    }
}

} // namespace generators
