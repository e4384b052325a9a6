#pragma once
// The mask cells of the pixel family, made from the steps of its order (see pixelorder.h): a
// cell gets its column's level where its step is at most the progress, else 0.

#include "effects/masks/pixelorder.h"

#include <cstddef>
#include <cstdint>

// Cells from .. from + count - 1 of the order into out: levels[i] where the step <= reached.
void chosenCells(const PixelOrder::Steps& steps, size_t from, size_t count, uint8_t reached, const uint8_t* levels,
                 uint8_t* out);
