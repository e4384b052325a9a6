#pragma once
// Where a cell first comes up in the shared generator's draws, found without drawing.
//
// The generator (s -> a s + 1 modulo 2^32) has full period, so every state comes up exactly once
// in 2^32 draws. The draws from a state s to a state v are found bit by bit: the states 2^j draws
// apart agree in their low j bits and differ in bit j, so once the low j bits of the current state
// match v's, bit j decides between moving on by 2^j draws or not. Each step jumps by a precomputed
// power of the step. Random(n) gives cell c for the states v with (v * n) >> 32 == c, an interval
// of about 2^32 / n states; the first of them to come up is where the cell is first drawn. Late in
// a pixel order, when few cells are left, this costs less than drawing on (each cell left then
// takes about n / left draws).

#include <cstddef>
#include <cstdint>

namespace firstdraws {

// The states that Random(n) maps to `cell`: first .. last.
struct StateRange {
    uint32_t first;
    uint32_t last;
};
StateRange statesOf(uint32_t cell, uint32_t n);

// For each of `count` cells of a grid of n: the draws from `seed` until Random(n) first gives it,
// less one: 0 .. 2^32 - 1 (the state `seed` itself comes up again after all 2^32 draws).
void firstDrawsPlain(uint32_t seed, uint32_t n, const uint32_t* cells, size_t count, uint32_t* out);

} // namespace firstdraws

namespace firstdraws::avx2 {

void firstDraws(uint32_t seed, uint32_t n, const uint32_t* cells, size_t count, uint32_t* out);

} // namespace firstdraws::avx2
