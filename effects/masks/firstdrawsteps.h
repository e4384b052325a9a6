#pragma once
// The steps of finding the draws to a state (see firstdraws.h).
//
// The generator's step applied 2^j times, j = 0 .. 31, as s -> mul[j] s + add[j].

#include "effects/masks/pixeldraws.h"

#include <cstdint>
#include <vector>

namespace firstdraws {

struct Jumps {
    uint32_t mul[32];
    uint32_t add[32];
};

constexpr Jumps jumpTable()
{
    Jumps p{};
    uint32_t m = pixeldraws::lcgMul, a = 1u;
    for (int j = 0; j < 32; ++j) {
        p.mul[j] = m;
        p.add[j] = a;
        a = a * m + a;
        m *= m;
    }
    return p;
}

inline constexpr Jumps jumps = jumpTable();

// The low bits of a state v alone decide the first lowBits steps towards it, so those are taken
// from a table of every value of them: the state reached and the draws made.
constexpr int lowBits = 12;
constexpr uint32_t lowCount = uint32_t(1) << lowBits;

struct LowSteps {
    std::vector<uint32_t> state = std::vector<uint32_t>(lowCount);
    std::vector<uint32_t> draws = std::vector<uint32_t>(lowCount);
    explicit LowSteps(uint32_t seed);
};

} // namespace firstdraws
