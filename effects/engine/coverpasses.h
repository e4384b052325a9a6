#pragma once
// The per-frame pass of the shape and circle records: each cell gets the level of the last
// shape up to `high` that reaches it, from its first and last shape.

#include <cstddef>
#include <cstdint>

namespace coverpass {

// out[i] = levels[min(last[i], high)] where first[i] <= high, else 0; the levels (0 .. 255)
// are 32-bit for the vector gather, which runs where the processor has AVX2.
void lastLevels(uint8_t* out, const uint16_t* first, const uint16_t* last, size_t count, uint16_t high,
                const int32_t* levels);

namespace avx2 {
// The same over the first count - count % 16 cells.
void lastLevels(uint8_t* out, const uint16_t* first, const uint16_t* last, size_t count, uint16_t high,
                const int32_t* levels);
}

} // namespace coverpass
