#pragma once
// The record word of the shape and circle records, and their per-frame passes.
//
// One 32-bit word per cell holds the first shape reaching the cell (bits 0 .. 14), a flag
// (bit 15) that the shape record sets where the shapes reaching the cell are not consecutive,
// and the last shape reaching it (bits 16 .. 31). Recording a shape thus touches one cache
// line per cell, where separate arrays for the first and last shapes and the flag would touch
// three: the lines of a shape walk across rows, so each cell is a new line.

#include <cstddef>
#include <cstdint>

namespace coverpass {

// The first shape of a cell that no shape reaches; every recorded shape lies below it.
inline constexpr uint16_t none = 0x7FFF;
inline constexpr uint32_t brokenBit = 0x8000;
// First and last shape both none: no shape k equals the last one.
inline constexpr uint32_t unreached = none | uint32_t(none) << 16;

constexpr uint16_t firstOf(uint32_t cell) { return uint16_t(cell & none); }
constexpr uint16_t lastOf(uint32_t cell) { return uint16_t(cell >> 16); }
// A cell reached by shapes first .. last, not broken.
constexpr uint32_t cellWord(uint16_t first, uint16_t last) { return first | uint32_t(last) << 16; }

// out[i] = v where a shape in low .. high reaches cell i (its first shape is at most high and
// its last at least low), else 0. Both passes run sixteen cells a step where the processor has
// AVX2.
void reachedLevel(uint8_t* out, const uint32_t* cells, size_t count, uint16_t low, uint16_t high, uint8_t v);

// out[i] = levels[min(last, high)] where the first shape of cell i is at most high, else 0; the
// levels (0 .. 255) are 32-bit for the vector gather.
void lastLevels(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels);

namespace avx2 {
// The same over the first count - count % 16 cells.
void reachedLevel(uint8_t* out, const uint32_t* cells, size_t count, uint16_t low, uint16_t high, uint8_t v);
void lastLevels(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels);
} // namespace avx2

} // namespace coverpass
