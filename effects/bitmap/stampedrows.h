#pragma once
// Rows of a picture stamped with a byte mask as their alpha, and blended at once: the row work of
// the fade composition, one set per instruction set (the dispatch table picks one).
//
// A stamped pixel is the Dest pixel's colour with alpha m, or alpha 0 where its colour is the
// key colour (luxTransparent), so that the old picture shows through.

#include "effects/bitmap/luxcolor.h"

#include <cstdint>

namespace luxraster {

// out[x] = D[x] stamped with alpha m[x], for x < n.
using StampRowProc = void (*)(const TluxColor* D, const uint8_t* m, TluxColor* out, int n);
// True when the n bytes are all 0.
using AllZeroProc = bool (*)(const uint8_t* p, int n);
// out[x] = the row blend (LineAlphaBlendFunc of one kind) of D[x] stamped with alpha m[x] over
// S[x]: the copy of the old row, the stamp and the blend in one step. out may not alias D.
using FadeRowProc = void (*)(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n);

void stampRow(const TluxColor* D, const uint8_t* m, TluxColor* out, int n);
bool allZero(const uint8_t* p, int n);

namespace sse2 {
void stampRow(const TluxColor* D, const uint8_t* m, TluxColor* out, int n);
bool allZero(const uint8_t* p, int n);
} // namespace sse2

namespace avx2 {
void fadeRowPacked(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n);
void fadeRowPlain(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n);
// The same bytes, the stores bypassing the caches (see LuxDispatch::streaming).
void fadeRowPackedStreaming(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n);
void fadeRowPlainStreaming(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n);
// moveLongword for source and target apart.
int moveStreaming(const TluxColor* S, TluxColor* T, int n);
} // namespace avx2

} // namespace luxraster
