// AVX2 row primitives: eight pixels per step, the same lane arithmetic as the
// SSE2 set (unpack, pack and shuffles stay within each 128-bit half, so the
// pixel order is kept). Compiled for AVX2 function by function; only called
// when the processor reports AVX2.

#include "effects/bitmap/rowprimitives.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

namespace luxraster::avx2 {

namespace {

constexpr int kPrefetchBytes = 2048;

LUX_AVX2 inline void prefetch(const void* p)
{
    _mm_prefetch(static_cast<const char*>(p) + kPrefetchBytes, _MM_HINT_T0);
}

LUX_AVX2 inline __m256i load(const TluxColor* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

LUX_AVX2 inline void store(TluxColor* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The 16-bit lanes hold blue and red ("rb", bytes masked by 0x00FF00FF) or
// green and alpha ("ga", shifted down by 8): one channel per lane, so the
// products (F - B) * a stay inside their lanes.
LUX_AVX2 inline __m256i rbLanes(__m256i p)
{
    return _mm256_and_si256(p, _mm256_set1_epi32(0x00FF00FF));
}

LUX_AVX2 inline __m256i gaLanes(__m256i p)
{
    return _mm256_srli_epi16(p, 8);
}

// Each pixel's alpha byte in both of its 16-bit lanes.
LUX_AVX2 inline __m256i alphaLanes(__m256i p)
{
    const __m256i pick = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, //
                                          3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    return _mm256_shuffle_epi8(p, pick);
}

// High byte of each rb lane moved down, high byte of each ga lane kept.
LUX_AVX2 inline __m256i join(__m256i rbSum, __m256i gaSum)
{
    return _mm256_or_si256(_mm256_srli_epi16(rbSum, 8), _mm256_andnot_si256(_mm256_set1_epi32(0x00FF00FF), gaSum));
}

// Row form of the packed blend: (B << 8) + (F - B) * a per lane, exact in
// wrapping 16-bit lanes (0..65280); a = 255 is taken as 256 so that an opaque
// foreground comes out unchanged; a = 0 gives B.
LUX_AVX2 inline __m256i packedRow8(__m256i s, __m256i t)
{
    __m256i a = alphaLanes(s);
    a = _mm256_sub_epi16(a, _mm256_cmpeq_epi16(a, _mm256_set1_epi16(255)));
    const __m256i fr = rbLanes(s), br = rbLanes(t), fg = gaLanes(s), bg = gaLanes(t);
    const __m256i rb = _mm256_add_epi16(_mm256_slli_epi16(br, 8), _mm256_mullo_epi16(_mm256_sub_epi16(fr, br), a));
    const __m256i ga = _mm256_add_epi16(_mm256_slli_epi16(bg, 8), _mm256_mullo_epi16(_mm256_sub_epi16(fg, bg), a));
    return join(rb, ga);
}

// Plain blend: (B << 8) - B + (F - B) * a = F * a + B * (255 - a), alpha 255;
// a = 0 (B) and a = 255 (F) are chosen per pixel.
LUX_AVX2 inline __m256i plain8(__m256i s, __m256i t)
{
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    const __m256i a = alphaLanes(s);
    const __m256i fr = rbLanes(s), br = rbLanes(t), fg = gaLanes(s), bg = gaLanes(t);
    const __m256i rb = _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(br, 8), br),
                                        _mm256_mullo_epi16(_mm256_sub_epi16(fr, br), a));
    const __m256i ga = _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(bg, 8), bg),
                                        _mm256_mullo_epi16(_mm256_sub_epi16(fg, bg), a));
    const __m256i r = _mm256_or_si256(join(rb, ga), alphaMask);
    const __m256i alpha = _mm256_and_si256(s, alphaMask);
    const __m256i opaque = _mm256_cmpeq_epi32(alpha, alphaMask);
    const __m256i clear = _mm256_cmpeq_epi32(alpha, _mm256_setzero_si256());
    return _mm256_blendv_epi8(_mm256_blendv_epi8(r, t, clear), s, opaque);
}

// Sixteen pixels (one cache line of each row) per step; runs that are wholly
// opaque need no read of T, wholly clear ones no write.
template <bool Packed>
LUX_AVX2 inline __m256i blend8(__m256i s, __m256i t)
{
    if constexpr (Packed)
        return packedRow8(s, t);
    else
        return plain8(s, t);
}

template <bool Packed>
LUX_AVX2 inline int blendRuns(const TluxColor* S, TluxColor* T, int n)
{
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        prefetch(S + i);
        prefetch(T + i);
        const __m256i s0 = load(S + i), s1 = load(S + i + 8);
        if (_mm256_testc_si256(_mm256_and_si256(s0, s1), alphaMask)) {
            store(T + i, s0);
            store(T + i + 8, s1);
            continue;
        }
        if (_mm256_testz_si256(_mm256_or_si256(s0, s1), alphaMask))
            continue;
        store(T + i, blend8<Packed>(s0, load(T + i)));
        store(T + i + 8, blend8<Packed>(s1, load(T + i + 8)));
    }
    for (; i + 8 <= n; i += 8)
        store(T + i, blend8<Packed>(load(S + i), load(T + i)));
    return i;
}

} // namespace

LUX_AVX2 void lineBlendPacked(const TluxColor* S, TluxColor* T, int n)
{
    const int done = blendRuns<true>(S, T, n);
    sse2::lineBlendPacked(S + done, T + done, n - done);
}

LUX_AVX2 void lineBlendPlain(const TluxColor* S, TluxColor* T, int n)
{
    const int done = blendRuns<false>(S, T, n);
    sse2::lineBlendPlain(S + done, T + done, n - done);
}

// Non-key pixels are stored opaque through a mask, so holes are never read
// or written and there is no branch for a picture's holes to mispredict.
LUX_AVX2 void lineTransparent(const TluxColor* S, TluxColor* T, int n)
{
    const __m256i key = _mm256_set1_epi32(int(luxTransparent & luxTransparentMask));
    const __m256i colour = _mm256_set1_epi32(int(luxTransparentMask));
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        if ((i & 15) == 0)
            prefetch(S + i);
        const __m256i s = load(S + i);
        const __m256i keep = _mm256_cmpeq_epi32(_mm256_and_si256(s, colour), key);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(T + i), _mm256_xor_si256(keep, _mm256_set1_epi32(-1)),
                               _mm256_or_si256(s, alphaMask));
    }
    sse2::lineTransparent(S + i, T + i, n - i);
}

} // namespace luxraster::avx2
