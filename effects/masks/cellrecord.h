#pragma once
// The record a slide procedure fills for each cell of its grid.

#include <cstdint>

// One cell of a slide procedure's grid: which cell of the new picture to show here, and how much.
#pragma pack(push, 1)
struct TluxCell {
    uint8_t Alpha;    // 0 keeps the old picture, 255 shows the referenced new cell
    uint8_t Reserved; // never read; generators leave it 0
    int16_t SourceX;  // cell column of the new picture
    int16_t SourceY;  // cell row of the new picture
};
#pragma pack(pop)
static_assert(sizeof(TluxCell) == 6, "the cell record is 6 bytes");
