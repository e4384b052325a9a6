// Random cells: the generator restarts from Seed = N (cells in the grid) on every call and
// draws Random(N) until the wanted number of distinct cells has come up, so every frame
// chooses the same sequence and a higher progress chooses a superset.

#include "effects/masks/generators.h"

#include "platform/arith.h"
#include "effects/masks/pixelorder.h"
#include "effects/masks/randomgen.h"

#include <algorithm>
#include <vector>

namespace generators {

namespace {

// Leaves the shared generator where drawing the cells chosen at P one by one would have left it,
// and returns each cell's step: chosen at P when step <= P.
PixelOrder::Steps chooseCells(const MaskGrid& m, int P)
{
    const PixelOrder::Chosen chosen = pixelOrder().choose(uint32_t(m.size()), P);
    RandSeed = chosen.seed;
    return chosen.steps;
}

// A select instead of a condition: about half the cells are chosen in no particular pattern, so
// a branch here would mispredict half the time. The steps are read a chunk at a time.
void chosenCellsAt(MaskGrid& m, int P, uint8_t v)
{
    const PixelOrder::Steps steps = chooseCells(m, P);
    const uint8_t level = uint8_t(std::min(P, 100));
    const size_t count = m.size();
    constexpr size_t chunk = 4096;
    uint8_t step[chunk];
    for (size_t c = 0; c < count; c += chunk) {
        const size_t part = std::min(chunk, count - c);
        steps.copy(c, part, step);
        uint8_t* __restrict bits = m.Bits + c;
        for (size_t i = 0; i < part; ++i)
            bits[i] = uint8_t(v & -uint8_t(step[i] <= level));
    }
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
    const PixelOrder::Steps steps = chooseCells(m, P);
    // Columns 0 .. Round(P / 100 * (2W - 1)) ramp down from twice the progress level.
    const int last = std::min<int64_t>(m.W - 1, RoundHalfEven(double(P) / 100 * (2.0 * m.W - 1)));
    // The levels of the columns, then the steps of a row's columns.
    const size_t columns = size_t(std::max(last + 1, 0));
    std::vector<uint8_t> level(2 * columns);
    for (int i = 0; i <= last; ++i) {
        const double ramp = double(std::max<int64_t>(0, RoundHalfEven(2.0 * P - i * (m.W * 0.1 / P))));
        level[size_t(i)] = uint8_t(std::min<int64_t>(255, RoundHalfEven(ramp / 100 * 255)));
    }
    const uint8_t reached = uint8_t(std::min(P, 100));
    const uint8_t* __restrict levels = level.data();
    uint8_t* __restrict rowStep = level.data() + columns;
    for (int y = 0; y < m.H; ++y) {
        uint8_t* __restrict row = m.row(y);
        steps.copy(size_t(y) * size_t(m.W), columns, rowStep);
        for (int i = 0; i <= last; ++i)
            row[i] = uint8_t(levels[i] & -uint8_t(rowStep[i] <= reached));
    }
}

} // namespace generators
