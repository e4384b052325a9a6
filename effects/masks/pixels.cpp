// Random cells: the generator restarts from Seed = N (cells in the grid) on every call and
// draws Random(N) until the wanted number of distinct cells has come up, so every frame
// chooses the same sequence and a higher progress chooses a superset.

#include "effects/masks/generators.h"

#include "platform/arith.h"
#include "effects/masks/chosencells.h"
#include "effects/masks/maskrows.h"
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

// The cells chosen at P get their column's level (columns past the levels stay as they are), on
// the grid or, on a planning grid, in the plan.
void chosenCellsAt(MaskGrid& m, int P, std::vector<uint8_t> levels)
{
    const PixelOrder::Steps steps = chooseCells(m, P);
    const uint8_t reached = uint8_t(std::min(P, 100));
    if (m.plan) {
        m.plan->chosen(steps, reached, std::move(levels));
        return;
    }
    for (int y = 0; y < m.H; ++y)
        chosenCells(steps, size_t(y) * size_t(m.W), levels.size(), reached, levels.data(), m.row(y));
}

} // namespace

void pixels(MaskGrid& m, int P)
{
    if (P == 0) {
        RandSeed = uint32_t(m.size());
        return;
    }
    chosenCellsAt(m, P, std::vector<uint8_t>(size_t(m.W), 255));
}

void pixelsFade(MaskGrid& m, int P)
{
    if (P == 0) {
        RandSeed = uint32_t(m.size());
        return;
    }
    chosenCellsAt(m, P, std::vector<uint8_t>(size_t(m.W), uint8_t(RoundHalfEven(double(P) / 100 * 255))));
}

void pixelLine(MaskGrid& m, int P)
{
    if (P == 0) {
        RandSeed = uint32_t(m.size());
        return;
    }
    // Columns 0 .. Round(P / 100 * (2W - 1)) ramp down from twice the progress level.
    const int last = std::min<int64_t>(m.W - 1, RoundHalfEven(double(P) / 100 * (2.0 * m.W - 1)));
    std::vector<uint8_t> levels(size_t(std::max(last + 1, 0)));
    for (int i = 0; i <= last; ++i) {
        const double ramp = double(std::max<int64_t>(0, RoundHalfEven(2.0 * P - i * (m.W * 0.1 / P))));
        levels[size_t(i)] = uint8_t(std::min<int64_t>(255, RoundHalfEven(ramp / 100 * 255)));
    }
    chosenCellsAt(m, P, std::move(levels));
}

} // namespace generators
