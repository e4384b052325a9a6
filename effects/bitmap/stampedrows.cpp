// Stamped rows, portable and SSE2.

#include "effects/bitmap/stampedrows.h"

#include <emmintrin.h>

namespace luxraster {

namespace {
constexpr TluxColor colourBits = 0x00FFFFFFu;
} // namespace

void stampRow(const TluxColor* D, const uint8_t* m, TluxColor* out, int n)
{
    for (int x = 0; x < n; ++x) {
        const TluxColor colour = D[x] & colourBits;
        out[x] = colour == luxTransparent ? colour : colour | (TluxColor(m[x]) << 24);
    }
}

bool allZero(const uint8_t* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

namespace sse2 {

void stampRow(const TluxColor* D, const uint8_t* m, TluxColor* out, int n)
{
    const __m128i low = _mm_set1_epi32(int(colourBits));
    const __m128i key = _mm_set1_epi32(int(luxTransparent));
    const __m128i zero = _mm_setzero_si128();
    int x = 0;
    for (; x + 16 <= n; x += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + x));
        const __m128i lo16 = _mm_unpacklo_epi8(zero, bytes); // alpha in the high byte of 16 bits
        const __m128i hi16 = _mm_unpackhi_epi8(zero, bytes);
        const __m128i alpha[4] = {_mm_unpacklo_epi16(zero, lo16), _mm_unpackhi_epi16(zero, lo16),
                                  _mm_unpacklo_epi16(zero, hi16), _mm_unpackhi_epi16(zero, hi16)};
        for (int k = 0; k < 4; ++k) {
            const __m128i colour =
                _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(D + x + 4 * k)), low);
            const __m128i isKey = _mm_cmpeq_epi32(colour, key);
            const __m128i pixel = _mm_or_si128(colour, _mm_andnot_si128(isKey, alpha[k]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4 * k), pixel);
        }
    }
    luxraster::stampRow(D + x, m + x, out + x, n - x);
}

bool allZero(const uint8_t* p, int n)
{
    int i = 0;
    __m128i any = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16)
        any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) != 0xFFFF)
        return false;
    return luxraster::allZero(p + i, n - i);
}

} // namespace sse2

} // namespace luxraster
