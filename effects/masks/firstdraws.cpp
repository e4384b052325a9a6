#include "effects/masks/firstdraws.h"

#include "effects/masks/firstdrawsteps.h"

#include <algorithm>

namespace firstdraws {

namespace {

// Steps j = from .. 31 towards v from state s after t draws. Whether a step jumps is a coin
// toss, so it is a mask rather than a branch: s + (a s + c - s) where it jumps.
uint32_t drawsOn(uint32_t s, uint32_t t, uint32_t v, int from)
{
    for (int j = from; j < 32; ++j) {
        const uint32_t jump = 0u - ((s ^ v) >> j & 1u);
        s += jump & (s * (jumps.mul[j] - 1u) + jumps.add[j]);
        t |= jump & (uint32_t(1) << j);
    }
    return t - 1;
}

} // namespace

LowSteps::LowSteps(uint32_t seed)
{
    for (uint32_t r = 0; r < lowCount; ++r) {
        uint32_t s = seed, t = 0;
        for (int j = 0; j < lowBits; ++j) {
            const uint32_t bit = (s ^ r) & (uint32_t(1) << j);
            if (bit) {
                s = s * jumps.mul[j] + jumps.add[j];
                t |= bit;
            }
        }
        state[r] = s;
        draws[r] = t;
    }
}

StateRange statesOf(uint32_t cell, uint32_t n)
{
    // The states v with cell * 2^32 <= v * n < (cell + 1) * 2^32.
    const uint64_t first = ((uint64_t(cell) << 32) + n - 1) / n;
    const uint64_t end = ((uint64_t(cell + 1) << 32) + n - 1) / n;
    return {uint32_t(first), uint32_t(end - 1)};
}

void firstDrawsPlain(uint32_t seed, uint32_t n, const uint32_t* cells, size_t count, uint32_t* out)
{
    const LowSteps low(seed);
    for (size_t i = 0; i < count; ++i) {
        const StateRange r = statesOf(cells[i], n);
        uint32_t least = UINT32_MAX;
        for (uint64_t v = r.first; v <= r.last; ++v) {
            const uint32_t at = uint32_t(v) & (lowCount - 1);
            least = std::min(least, drawsOn(low.state[at], low.draws[at], uint32_t(v), lowBits));
        }
        out[i] = least;
    }
}

} // namespace firstdraws
