// SSE2 row primitives: four pixels per step, the 16-bit lanes of the packed
// arithmetic. They give exactly the bytes of the portable versions.

#include "rowprimitives.h"

#include <emmintrin.h>

namespace luxraster::sse2 {

namespace {

constexpr int kPrefetchBytes = 512;

inline void prefetch(const void* p)
{
    _mm_prefetch(static_cast<const char*>(p) + kPrefetchBytes, _MM_HINT_T0);
}

// Each pixel's alpha in all four of its 16-bit lanes.
inline __m128i broadcastAlpha(__m128i px16)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(px16, 0xFF), 0xFF);
}

// ((B << 8) + (F - B) * a) >> 8 on two pixels widened to 16-bit lanes. The true
// value lies in 0..65280, so the lanes' wrap-around arithmetic is exact.
inline __m128i packedHalf(__m128i f, __m128i b)
{
    const __m128i a = broadcastAlpha(f);
    return _mm_srli_epi16(_mm_add_epi16(_mm_slli_epi16(b, 8), _mm_mullo_epi16(_mm_sub_epi16(f, b), a)), 8);
}

// ((B << 8) - B + (F - B) * a) >> 8 = (F * a + B * (255 - a)) >> 8, in 0..65025.
inline __m128i plainHalf(__m128i f, __m128i b)
{
    const __m128i a = broadcastAlpha(f);
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_sub_epi16(_mm_slli_epi16(b, 8), b), _mm_mullo_epi16(_mm_sub_epi16(f, b), a)), 8);
}

inline __m128i select(__m128i mask, __m128i ifSet, __m128i ifClear)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

inline __m128i packed4(__m128i s, __m128i t)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = packedHalf(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(t, zero));
    const __m128i hi = packedHalf(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(t, zero));
    return _mm_packus_epi16(lo, hi);
}

} // namespace

TluxColor pixelBlendPacked(TluxColor F, TluxColor B)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i f = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(F)), zero);
    const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(B)), zero);
    return TluxColor(_mm_cvtsi128_si32(_mm_packus_epi16(packedHalf(f, b), zero)));
}

void lineBlendPacked(const TluxColor* S, TluxColor* T, int n)
{
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        prefetch(S + i);
        prefetch(T + i);
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i));
        const __m128i alpha = _mm_and_si128(s, alphaMask);
        const __m128i opaque = _mm_cmpeq_epi32(alpha, alphaMask);
        const int opaqueBits = _mm_movemask_epi8(opaque);
        if (opaqueBits == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(T + i), s);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF)
            continue;
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(T + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(T + i), select(opaque, s, packed4(s, t)));
    }
    luxraster::lineBlendPacked(S + i, T + i, n - i);
}

void lineBlendPlain(const TluxColor* S, TluxColor* T, int n)
{
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        prefetch(S + i);
        prefetch(T + i);
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i));
        const __m128i alpha = _mm_and_si128(s, alphaMask);
        const __m128i opaque = _mm_cmpeq_epi32(alpha, alphaMask);
        const __m128i clear = _mm_cmpeq_epi32(alpha, zero);
        if (_mm_movemask_epi8(opaque) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(T + i), s);
            continue;
        }
        if (_mm_movemask_epi8(clear) == 0xFFFF)
            continue;
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(T + i));
        const __m128i lo = plainHalf(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(t, zero));
        const __m128i hi = plainHalf(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(t, zero));
        __m128i r = _mm_or_si128(_mm_packus_epi16(lo, hi), alphaMask);
        r = select(opaque, s, select(clear, t, r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(T + i), r);
    }
    luxraster::lineBlendPlain(S + i, T + i, n - i);
}

void lineTransparent(const TluxColor* S, TluxColor* T, int n)
{
    const __m128i key = _mm_set1_epi32(int(luxTransparent & luxTransparentMask));
    const __m128i colour = _mm_set1_epi32(int(luxTransparentMask));
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        prefetch(S + i);
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i));
        const __m128i hole = _mm_cmpeq_epi32(_mm_and_si128(s, colour), key);
        const __m128i opaque = _mm_or_si128(s, alphaMask);
        const int holes = _mm_movemask_epi8(hole);
        if (holes == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(T + i), opaque);
        } else if (holes != 0xFFFF) {
            const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(T + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(T + i), select(hole, t, opaque));
        }
    }
    luxraster::lineTransparent(S + i, T + i, n - i);
}

} // namespace luxraster::sse2
