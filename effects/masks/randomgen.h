#pragma once
// The process-wide linear congruential generator shared by random effect selection and by the
// effects that must draw the same "random" cells on every frame.

#include <cstdint>

// Current state; effects that need a repeatable sequence set it themselves.
extern uint32_t RandSeed;

// Advances the state (RandSeed = RandSeed * 134775813 + 1, modulo 2^32) and returns
// (RandSeed * n) >> 32, a value in 0 .. n - 1 (0 when n is 0).
inline uint32_t Random(uint32_t n)
{
    RandSeed = RandSeed * 134775813u + 1u;
    return uint32_t((uint64_t(RandSeed) * n) >> 32);
}

// Seeds from the UTC time of day: ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds.
void Randomize();

// The generator's state after `steps` more draws from `seed`, without drawing them one by one.
uint32_t advanceSeed(uint32_t seed, uint64_t steps);
