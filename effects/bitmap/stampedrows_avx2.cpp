// Fade rows in AVX2: copy, stamp and blend of eight pixels per step. Compiled for AVX2 function by
// function; only called when the processor reports AVX2.

#include "effects/bitmap/rowprimitives.h"
#include "effects/bitmap/stampedrows.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

#include <cstdint>
#include <cstring>

namespace luxraster::avx2 {

namespace {

// F is the Dest pixel with alpha a (0 for key-colour pixels), B the old pixel, and out gets the
// row blend of F over B exactly as the row blend slots give it (see rowprimitives.h):
//   packed: every byte (B << 8) + (F - B) * a' >> 8, a' = a except 255 -> 256 (F unchanged);
//   plain:  colour bytes (B << 8) - B + (F - B) * a >> 8, alpha 255; a = 0 gives B, 255 gives F.
// With Stream the eight-pixel stores bypass the caches (out 32-byte aligned), for frames too large
// to stay in cache until they are read again.
template <bool Stream>
LUX_AVX2 inline void put(TluxColor* p, __m256i v)
{
    if constexpr (Stream)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(p), v);
    else
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

template <bool Packed, bool Stream = false>
LUX_AVX2 void fadeRow(const TluxColor* src, const TluxColor* dst, const uint8_t* alpha, TluxColor* out, int n)
{
    const __m256i low = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i key = _mm256_set1_epi32(int(luxTransparent));
    const __m256i rbMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    const __m256i ff = _mm256_set1_epi16(255);
    int x = 0;
    for (; x + 8 <= n; x += 8) {
        uint64_t eight;
        std::memcpy(&eight, alpha + x, sizeof eight);
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        // Eight old pixels: nothing to read from Dest.
        if (eight == 0) {
            put<Stream>(out + x, b);
            continue;
        }
        const __m256i d = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + x)), low);
        // Eight new pixels: Dest made opaque, key-colour pixels old.
        if (eight == ~uint64_t(0)) {
            const __m256i isKey = _mm256_cmpeq_epi32(d, key);
            put<Stream>(out + x, _mm256_blendv_epi8(_mm256_or_si256(d, alphaMask), b, isKey));
            continue;
        }
        // Alpha per pixel, 0 at key pixels, as a 32-bit value, then in both 16-bit lanes.
        __m256i a32 = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + x)));
        a32 = _mm256_andnot_si256(_mm256_cmpeq_epi32(d, key), a32);
        __m256i a = _mm256_or_si256(a32, _mm256_slli_epi32(a32, 16));
        const __m256i f = _mm256_or_si256(d, _mm256_slli_epi32(a32, 24));
        const __m256i fr = _mm256_and_si256(f, rbMask), br = _mm256_and_si256(b, rbMask);
        const __m256i fg = _mm256_srli_epi16(f, 8), bg = _mm256_srli_epi16(b, 8);
        __m256i r;
        if constexpr (Packed) {
            a = _mm256_sub_epi16(a, _mm256_cmpeq_epi16(a, ff));
            const __m256i rb = _mm256_add_epi16(_mm256_slli_epi16(br, 8), _mm256_mullo_epi16(_mm256_sub_epi16(fr, br), a));
            const __m256i ga = _mm256_add_epi16(_mm256_slli_epi16(bg, 8), _mm256_mullo_epi16(_mm256_sub_epi16(fg, bg), a));
            r = _mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(rbMask, ga));
        } else {
            const __m256i rb = _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(br, 8), br),
                                                _mm256_mullo_epi16(_mm256_sub_epi16(fr, br), a));
            const __m256i ga = _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(bg, 8), bg),
                                                _mm256_mullo_epi16(_mm256_sub_epi16(fg, bg), a));
            r = _mm256_or_si256(_mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(rbMask, ga)), alphaMask);
            r = _mm256_blendv_epi8(r, b, _mm256_cmpeq_epi32(a32, _mm256_setzero_si256()));
            r = _mm256_blendv_epi8(r, f, _mm256_cmpeq_epi32(a32, _mm256_set1_epi32(255)));
        }
        put<Stream>(out + x, r);
    }
    if constexpr (Stream)
        _mm_sfence();
    // The last pixels: copy, stamp and the portable blend of the same kind.
    if (x < n) {
        TluxColor tail[8];
        stampRow(dst + x, alpha + x, tail, n - x);
        for (int i = x; i < n; ++i)
            out[i] = src[i];
        if constexpr (Packed)
            lineBlendPacked(tail, out + x, n - x);
        else
            lineBlendPlain(tail, out + x, n - x);
    }
}

} // namespace

LUX_AVX2 void fadeRowPacked(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n)
{
    fadeRow<true>(S, D, m, out, n);
}

LUX_AVX2 void fadeRowPlain(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n)
{
    fadeRow<false>(S, D, m, out, n);
}

LUX_AVX2 void fadeRowPackedStreaming(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n)
{
    if (reinterpret_cast<uintptr_t>(out) % 32 == 0)
        fadeRow<true, true>(S, D, m, out, n);
    else
        fadeRow<true>(S, D, m, out, n);
}

LUX_AVX2 void fadeRowPlainStreaming(const TluxColor* S, const TluxColor* D, const uint8_t* m, TluxColor* out, int n)
{
    if (reinterpret_cast<uintptr_t>(out) % 32 == 0)
        fadeRow<false, true>(S, D, m, out, n);
    else
        fadeRow<false>(S, D, m, out, n);
}

LUX_AVX2 int moveStreaming(const TluxColor* S, TluxColor* T, int n)
{
    // Up to the first 32-byte boundary of the target, then whole steps, then the rest.
    int x = 0;
    const int head = int((32 - reinterpret_cast<uintptr_t>(T) % 32) % 32);
    if (n < 64 || head % 4 != 0)
        return moveLongword(S, T, n);
    x = head / 4;
    std::memcpy(T, S, size_t(x) * sizeof(TluxColor));
    for (; x + 8 <= n; x += 8)
        put<true>(T + x, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(S + x)));
    _mm_sfence();
    std::memcpy(T + x, S + x, size_t(n - x) * sizeof(TluxColor));
    return n;
}

} // namespace luxraster::avx2
