#include "effects/engine/coverpasses.h"

#include "effects/bitmap/rasterdispatch.h"

#include <algorithm>

namespace coverpass {

// Compiled with the vectorizer on (see CMakeLists.txt): plain 32-bit compares, no gather.
void reachedLevel(uint8_t* __restrict out, const uint32_t* __restrict cells, size_t count, uint16_t low,
                  uint16_t high, uint8_t v)
{
    for (size_t i = 0; i < count; ++i)
        out[i] = uint8_t(v & -uint8_t((firstOf(cells[i]) <= high) & (lastOf(cells[i]) >= low)));
}

namespace {

void lastLevelsScalar(uint8_t* __restrict out, const uint32_t* __restrict cells, size_t count, uint16_t high,
                      const int32_t* __restrict levels)
{
    for (size_t i = 0; i < count; ++i)
        out[i] = uint8_t(levels[std::min(lastOf(cells[i]), high)] & -int32_t(firstOf(cells[i]) <= high));
}

} // namespace

void lastLevels(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels)
{
    size_t done = 0;
    if (rasterDispatch().level == SimdLevel::Avx2) {
        done = count - count % 16;
        avx2::lastLevels(out, cells, done, high, levels);
    }
    lastLevelsScalar(out + done, cells + done, count - done, high, levels);
}

} // namespace coverpass
