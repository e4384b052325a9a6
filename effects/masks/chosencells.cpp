#include "effects/masks/chosencells.h"

// A select instead of a condition: about half the cells are chosen in no particular pattern, so
// a branch here would mispredict half the time.
void chosenCells(const PixelOrder::Steps& steps, size_t from, size_t count, uint8_t reached, const uint8_t* levels,
                 uint8_t* out)
{
    steps.copy(from, count, out);
    uint8_t* __restrict cells = out;
    const uint8_t* __restrict level = levels;
    for (size_t i = 0; i < count; ++i)
        cells[i] = uint8_t(level[i] & -uint8_t(cells[i] <= reached));
}
