#pragma once
// The row and pixel primitives behind the slots, one set per instruction set.
// The slots (rasterprimitives.h) are how the rest of the library reaches them;
// tests and benchmarks call the sets directly to compare them.
//
// The two blends, F the foreground with alpha a, B the background, per channel c:
//   plain:  red, green, blue = (F_c * a + B_c * (255 - a)) >> 8, alpha = 255;
//           a = 0 gives B and a = 255 gives F unchanged.
//   packed: all four bytes, alpha included, = (F_c * a + B_c * (256 - a)) >> 8,
//           for every a (a = 255 does not give F).
// The row blends treat a = 0 (B kept) and a = 255 (F copied) alike for both.
// Callers must keep Count pixels addressable in both rows.

#include "effects/bitmap/luxcolor.h"

namespace luxraster {

TluxColor pixelBlendPlain(TluxColor F, TluxColor B);
TluxColor pixelBlendPacked(TluxColor F, TluxColor B);

void lineBlendPlain(const TluxColor* S, TluxColor* T, int n);
void lineBlendPacked(const TluxColor* S, TluxColor* T, int n);
void lineTransparent(const TluxColor* S, TluxColor* T, int n);

int moveLongword(const TluxColor* S, TluxColor* T, int n);
void fillLongword(TluxColor* T, int n, TluxColor v);
void fillLongwordRect(TluxColor* P, int stride, int height, int l, int t, int r, int b, TluxColor v);
void fillAlpha(TluxColor* T, int n, uint8_t a);
void fillAlphaRect(TluxColor* P, int stride, int height, int l, int t, int r, int b, uint8_t a);
void clearAlpha(TluxColor* T, int n, TluxColor c);

namespace sse2 {
TluxColor pixelBlendPacked(TluxColor F, TluxColor B);
void lineBlendPlain(const TluxColor* S, TluxColor* T, int n);
void lineBlendPacked(const TluxColor* S, TluxColor* T, int n);
void lineTransparent(const TluxColor* S, TluxColor* T, int n);
} // namespace sse2

namespace avx2 {
void lineBlendPlain(const TluxColor* S, TluxColor* T, int n);
void lineBlendPacked(const TluxColor* S, TluxColor* T, int n);
void lineTransparent(const TluxColor* S, TluxColor* T, int n);
} // namespace avx2

} // namespace luxraster
