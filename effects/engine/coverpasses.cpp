#include "effects/engine/coverpasses.h"

#include "effects/bitmap/rasterdispatch.h"

#include <algorithm>

namespace coverpass {

namespace {

void lastLevelsScalar(uint8_t* __restrict out, const uint16_t* __restrict first, const uint16_t* __restrict last,
                      size_t count, uint16_t high, const int32_t* __restrict levels)
{
    for (size_t i = 0; i < count; ++i)
        out[i] = uint8_t(levels[std::min(last[i], high)] & -int32_t(first[i] <= high));
}

} // namespace

void lastLevels(uint8_t* out, const uint16_t* first, const uint16_t* last, size_t count, uint16_t high,
                const int32_t* levels)
{
    size_t done = 0;
    if (rasterDispatch().level == SimdLevel::Avx2) {
        done = count - count % 16;
        avx2::lastLevels(out, first, last, done, high, levels);
    }
    lastLevelsScalar(out + done, first + done, last + done, count - done, high, levels);
}

} // namespace coverpass
