#include "effects/masks/coverpasses.h"

#include "effects/bitmap/rasterdispatch.h"

#include <algorithm>

namespace coverpass {

namespace {

// The vector pass over whole steps of sixteen cells where the processor has AVX2, then the
// cell-by-cell pass over the rest from the cell it returns.
template <typename Vector>
size_t vectorSteps(size_t count, Vector vector)
{
    if (rasterDispatch().level != SimdLevel::Avx2)
        return 0;
    const size_t done = count - count % 16;
    vector(done);
    return done;
}

} // namespace

void reachedLevel(uint8_t* __restrict out, const uint32_t* __restrict cells, size_t count, uint16_t low, uint16_t high, uint8_t v)
{
    const size_t done = vectorSteps(count, [&](size_t n) { avx2::reachedLevel(out, cells, n, low, high, v); });
    for (size_t i = done; i < count; ++i)
        out[i] = uint8_t(v & -uint8_t(int(firstOf(cells[i]) <= high) & int(lastOf(cells[i]) >= low)));
}

void lastLevels(uint8_t* __restrict out, const uint32_t* __restrict cells, size_t count, uint16_t high, const int32_t* levels)
{
    const size_t done = vectorSteps(count, [&](size_t n) { avx2::lastLevels(out, cells, n, high, levels); });
    for (size_t i = done; i < count; ++i)
        out[i] = uint8_t(levels[std::min(lastOf(cells[i]), high)] & -int32_t(firstOf(cells[i]) <= high));
}

} // namespace coverpass
