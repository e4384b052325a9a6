#pragma once
// Pixel memory of a bitmap: whole pages from the system, reading as zero, as a
// device-independent bitmap section's memory does.

#include "effects/bitmap/luxcolor.h"

#include <cstddef>

namespace luxmemory {

// Null when the system refuses; `mapped` receives the size to give back.
TluxColor* allocatePixels(size_t bytes, size_t& mapped);
void freePixels(TluxColor* pixels, size_t mapped);

} // namespace luxmemory
