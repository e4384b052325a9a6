#pragma once
// The wide step of drawing a pixel order where the processor has AVX2: a block of the shared
// generator's draws.

#include <cstdint>

namespace pixeldraws {

constexpr uint32_t lcgMul = 134775813u;

// The generator's step s -> a s + c applied j + 1 times, for j = 0 .. Lanes - 1: the lanes of a
// block start from one state without a chain of dependent multiplications, and each then moves
// on by Lanes steps.
template <int Lanes>
struct LanePowers {
    uint32_t mul[Lanes];
    uint32_t add[Lanes];
};

template <int Lanes>
constexpr LanePowers<Lanes> lanePowers()
{
    LanePowers<Lanes> p{};
    uint32_t m = lcgMul, a = 1u;
    for (int j = 0; j < Lanes; ++j) {
        p.mul[j] = m;
        p.add[j] = a;
        m *= lcgMul;
        a = a * lcgMul + 1u;
    }
    return p;
}

} // namespace pixeldraws

namespace pixeldraws::avx2 {

// states[i] = the generator's state after i + 1 steps from seed, cells[i] = Random(n) of that
// state, for i = 0 .. count - 1 (count a multiple of 16).
void drawBlock(uint32_t seed, uint32_t n, uint32_t* states, uint32_t* cells, int count);

} // namespace pixeldraws::avx2
