#pragma once
// The bytes board-sim sends for --flood N: lines of 64 bytes (63 characters
// cycling through A-Z and 0-9, then a line feed), cut off after N bytes.
// Tests rebuild the same bytes to check that all of them arrived in order.

#include <cstddef>
#include <cstdint>
#include <string>

// The count bytes of the endless pattern that start at byte `offset`.
inline std::string FloodPatternAt(uint64_t offset, size_t count)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) {
        const uint64_t at = offset + i;
        bytes[i] = at % 64 == 63 ? '\n' : alphabet[at % 36];
    }
    return bytes;
}

inline std::string FloodPattern(size_t count)
{
    return FloodPatternAt(0, count);
}
