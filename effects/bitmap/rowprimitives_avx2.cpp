// AVX2 row primitives: eight pixels per step, the same lane arithmetic as the
// SSE2 set (unpack, pack and shuffles stay within each 128-bit half, so the
// pixel order is kept). Compiled for AVX2 function by function; only called
// when the processor reports AVX2.

#include "rowprimitives.h"

#include <immintrin.h>

#define LUX_AVX2 __attribute__((target("avx2")))

namespace luxraster::avx2 {

namespace {

constexpr int kPrefetchBytes = 512;

LUX_AVX2 inline void prefetch(const void* p)
{
    _mm_prefetch(static_cast<const char*>(p) + kPrefetchBytes, _MM_HINT_T0);
}

LUX_AVX2 inline __m256i broadcastAlpha(__m256i px16)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(px16, 0xFF), 0xFF);
}

// ((B << 8) + (F - B) * a) >> 8; exact in wrapping 16-bit lanes (0..65280).
LUX_AVX2 inline __m256i packedHalf(__m256i f, __m256i b)
{
    const __m256i a = broadcastAlpha(f);
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_slli_epi16(b, 8), _mm256_mullo_epi16(_mm256_sub_epi16(f, b), a)), 8);
}

// ((B << 8) - B + (F - B) * a) >> 8 = (F * a + B * (255 - a)) >> 8.
LUX_AVX2 inline __m256i plainHalf(__m256i f, __m256i b)
{
    const __m256i a = broadcastAlpha(f);
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(b, 8), b), _mm256_mullo_epi16(_mm256_sub_epi16(f, b), a)),
        8);
}

LUX_AVX2 inline __m256i load(const TluxColor* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

LUX_AVX2 inline void store(TluxColor* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

} // namespace

LUX_AVX2 void lineBlendPacked(const TluxColor* S, TluxColor* T, int n)
{
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        prefetch(S + i);
        prefetch(T + i);
        const __m256i s = load(S + i);
        const __m256i alpha = _mm256_and_si256(s, alphaMask);
        const __m256i opaque = _mm256_cmpeq_epi32(alpha, alphaMask);
        if (_mm256_movemask_epi8(opaque) == -1) {
            store(T + i, s);
            continue;
        }
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, zero)) == -1)
            continue;
        const __m256i t = load(T + i);
        const __m256i lo = packedHalf(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(t, zero));
        const __m256i hi = packedHalf(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(t, zero));
        store(T + i, _mm256_blendv_epi8(_mm256_packus_epi16(lo, hi), s, opaque));
    }
    sse2::lineBlendPacked(S + i, T + i, n - i);
}

LUX_AVX2 void lineBlendPlain(const TluxColor* S, TluxColor* T, int n)
{
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        prefetch(S + i);
        prefetch(T + i);
        const __m256i s = load(S + i);
        const __m256i alpha = _mm256_and_si256(s, alphaMask);
        const __m256i opaque = _mm256_cmpeq_epi32(alpha, alphaMask);
        const __m256i clear = _mm256_cmpeq_epi32(alpha, zero);
        if (_mm256_movemask_epi8(opaque) == -1) {
            store(T + i, s);
            continue;
        }
        if (_mm256_movemask_epi8(clear) == -1)
            continue;
        const __m256i t = load(T + i);
        const __m256i lo = plainHalf(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(t, zero));
        const __m256i hi = plainHalf(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(t, zero));
        __m256i r = _mm256_or_si256(_mm256_packus_epi16(lo, hi), alphaMask);
        r = _mm256_blendv_epi8(_mm256_blendv_epi8(r, t, clear), s, opaque);
        store(T + i, r);
    }
    sse2::lineBlendPlain(S + i, T + i, n - i);
}

LUX_AVX2 void lineTransparent(const TluxColor* S, TluxColor* T, int n)
{
    const __m256i key = _mm256_set1_epi32(int(luxTransparent & luxTransparentMask));
    const __m256i colour = _mm256_set1_epi32(int(luxTransparentMask));
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        prefetch(S + i);
        const __m256i s = load(S + i);
        const __m256i hole = _mm256_cmpeq_epi32(_mm256_and_si256(s, colour), key);
        const __m256i opaque = _mm256_or_si256(s, alphaMask);
        const int holes = _mm256_movemask_epi8(hole);
        if (holes == 0)
            store(T + i, opaque);
        else if (holes != -1)
            store(T + i, _mm256_blendv_epi8(opaque, load(T + i), hole));
    }
    sse2::lineTransparent(S + i, T + i, n - i);
}

} // namespace luxraster::avx2
