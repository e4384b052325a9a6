#pragma once
// The copy of a moved run of slide pixels: only the new picture's pixels that have alpha.

#include "effects/bitmap/luxcolor.h"

namespace seenpixels {

// out[x] = alpha(in[x]) != 0 ? in[x] : out[x] for x < n (slides show key-colour pixels as they
// are; a pixel without alpha leaves the old one). in and out do not overlap.
void copySeen(const TluxColor* in, TluxColor* out, int n);

// The bytes of copySeen(first, out, n) and then copySeen(second, out, n), in one pass:
// out[x] = alpha(second[x]) != 0 ? second[x] : alpha(first[x]) != 0 ? first[x] : out[x].
void copySeenTwice(const TluxColor* first, const TluxColor* second, TluxColor* out, int n);

namespace avx2 {
// The same for the first n - n % 8 pixels, where the processor has AVX2.
void copySeen(const TluxColor* in, TluxColor* out, int n);
void copySeenTwice(const TluxColor* first, const TluxColor* second, TluxColor* out, int n);
}

} // namespace seenpixels
