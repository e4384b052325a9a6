#include "effects/masks/coverpasses.h"

#include "effects/bitmap/dispatch.h"

#include <algorithm>

namespace coverpass {

namespace {

void reachedLevelFrom(size_t from, uint8_t* __restrict out, const uint32_t* __restrict cells, size_t count, uint16_t low,
                      uint16_t high, uint8_t v)
{
    for (size_t i = from; i < count; ++i)
        out[i] = uint8_t(v & -uint8_t(int(firstOf(cells[i]) <= high) & int(lastOf(cells[i]) >= low)));
}

void lastLevelsFrom(size_t from, uint8_t* __restrict out, const uint32_t* __restrict cells, size_t count, uint16_t high,
                    const int32_t* levels)
{
    for (size_t i = from; i < count; ++i)
        out[i] = uint8_t(levels[std::min(lastOf(cells[i]), high)] & -int32_t(firstOf(cells[i]) <= high));
}

void reachedLevelScalar(uint8_t* out, const uint32_t* cells, size_t count, uint16_t low, uint16_t high, uint8_t v)
{
    reachedLevelFrom(0, out, cells, count, low, high, v);
}

void lastLevelsScalar(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels)
{
    lastLevelsFrom(0, out, cells, count, high, levels);
}

// The vector pass over whole steps of sixteen cells, then the cell-by-cell pass over the rest.
void reachedLevelAvx2(uint8_t* out, const uint32_t* cells, size_t count, uint16_t low, uint16_t high, uint8_t v)
{
    const size_t done = count - count % 16;
    avx2::reachedLevel(out, cells, done, low, high, v);
    reachedLevelFrom(done, out, cells, count, low, high, v);
}

void lastLevelsAvx2(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels)
{
    const size_t done = count - count % 16;
    avx2::lastLevels(out, cells, done, high, levels);
    lastLevelsFrom(done, out, cells, count, high, levels);
}

void fillScalar(LuxDispatch& d)
{
    d.reachedLevel = reachedLevelScalar;
    d.lastLevels = lastLevelsScalar;
}

void fillAvx2(LuxDispatch& d)
{
    d.reachedLevel = reachedLevelAvx2;
    d.lastLevels = lastLevelsAvx2;
}

[[maybe_unused]] const bool filled = addDispatchFill({.scalar = fillScalar, .avx2 = fillAvx2});

} // namespace

void reachedLevel(uint8_t* out, const uint32_t* cells, size_t count, uint16_t low, uint16_t high, uint8_t v)
{
    luxDispatch().reachedLevel(out, cells, count, low, high, v);
}

void lastLevels(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels)
{
    luxDispatch().lastLevels(out, cells, count, high, levels);
}

} // namespace coverpass
