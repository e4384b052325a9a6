// Portable row and pixel primitives: the reference for the SIMD sets.

#include "effects/bitmap/rowprimitives.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace luxraster {

// (F_c * a + B_c * (255 - a)) >> 8 for red, green and blue; alpha 255. The weights sum to 255
// but the shift divides by 256 (cheap in every SIMD variant, which all give these bytes), so a
// blend comes out at most one step below a division by 255; a = 0 and a = 255 return B and F as
// they are.
TluxColor pixelBlendPlain(TluxColor F, TluxColor B)
{
    const uint32_t a = F >> 24;
    if (a == 255)
        return F;
    if (a == 0)
        return B;
    TluxColor r = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t f = (F >> shift) & 0xFF, b = (B >> shift) & 0xFF;
        r |= (((f * a + b * (255 - a)) >> 8) & 0xFF) << shift;
    }
    return r;
}

// (F_c * a + B_c * (256 - a)) >> 8 for all four bytes; never above 255.
TluxColor pixelBlendPacked(TluxColor F, TluxColor B)
{
    const uint32_t a = F >> 24;
    TluxColor r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t f = (F >> shift) & 0xFF, b = (B >> shift) & 0xFF;
        r |= ((f * a + b * (256 - a)) >> 8) << shift;
    }
    return r;
}

void lineBlendPlain(const TluxColor* S, TluxColor* T, int n)
{
    for (int i = 0; i < n; ++i)
        T[i] = pixelBlendPlain(S[i], T[i]);
}

void lineBlendPacked(const TluxColor* S, TluxColor* T, int n)
{
    for (int i = 0; i < n; ++i) {
        const TluxColor f = S[i];
        const uint32_t a = f >> 24;
        if (a == 255)
            T[i] = f;
        else if (a != 0)
            T[i] = pixelBlendPacked(f, T[i]);
    }
}

void lineTransparent(const TluxColor* S, TluxColor* T, int n)
{
    for (int i = 0; i < n; ++i)
        if (!IsTransparentKey(S[i]))
            T[i] = S[i] | 0xFF000000;
}

int moveLongword(const TluxColor* S, TluxColor* T, int n)
{
    if (n > 0 && S != T)
        std::memmove(T, S, size_t(n) * sizeof(TluxColor));
    return n;
}

void fillLongword(TluxColor* T, int n, TluxColor v)
{
    if (n > 0)
        std::fill_n(T, n, v);
}

void fillLongwordRect(TluxColor* P, int stride, int /*height*/, int l, int t, int r, int b, TluxColor v)
{
    for (int y = t; y <= b; ++y)
        fillLongword(P + std::ptrdiff_t(y) * stride + l, r - l + 1, v);
}

void fillAlpha(TluxColor* T, int n, uint8_t a)
{
    const TluxColor alpha = TluxColor(a) << 24;
    for (int i = 0; i < n; ++i)
        T[i] = (T[i] & 0x00FFFFFF) | alpha;
}

void fillAlphaRect(TluxColor* P, int stride, int /*height*/, int l, int t, int r, int b, uint8_t a)
{
    for (int y = t; y <= b; ++y)
        fillAlpha(P + std::ptrdiff_t(y) * stride + l, r - l + 1, a);
}

// Pictures hold few key-colour pixels, so the row is mostly only read: sixteen pixels (a cache
// line) are compared at a time and written only where one of them matches.
void clearAlpha(TluxColor* T, int n, TluxColor c)
{
    const TluxColor key = c & 0x00FFFFFF;
    int i = 0;
#if defined(__SSE2__)
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i keys = _mm_set1_epi32(int(key));
    const auto matches = [&](int at) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(T + at));
        return _mm_cmpeq_epi32(_mm_and_si128(p, colour), keys);
    };
    for (; i + 16 <= n; i += 16) {
        const __m128i any = _mm_or_si128(_mm_or_si128(matches(i), matches(i + 4)),
                                         _mm_or_si128(matches(i + 8), matches(i + 12)));
        if (_mm_movemask_epi8(any) == 0)
            continue;
        for (int j = i; j < i + 16; ++j)
            if ((T[j] & 0x00FFFFFF) == key)
                T[j] &= 0x00FFFFFF;
    }
#endif
    for (; i < n; ++i)
        if ((T[i] & 0x00FFFFFF) == key)
            T[i] &= 0x00FFFFFF;
}

} // namespace luxraster
