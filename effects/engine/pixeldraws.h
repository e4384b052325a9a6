#pragma once
// The wide steps of drawing a pixel order where the processor has AVX2: a block of the shared
// generator's draws, and the search for the first draw that meets a cell not yet seen.

#include <cstdint>

namespace pixeldraws::avx2 {

// states[i] = the generator's state after i + 1 steps from seed, cells[i] = Random(n) of that
// state, for i = 0 .. count - 1 (count a multiple of 16).
void drawBlock(uint32_t seed, uint32_t n, uint32_t* states, uint32_t* cells, int count);

// The first i in from .. count - 1 whose cell has a clear bit in seen (bit c of the 64-bit words
// is cell c), or count.
int firstUnseen(const uint32_t* cells, int from, int count, const uint64_t* seen);

} // namespace pixeldraws::avx2
