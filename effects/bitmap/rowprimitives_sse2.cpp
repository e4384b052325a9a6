// SSE2 row primitives: four pixels per step, the 16-bit lanes of the packed
// arithmetic. They give exactly the bytes of the portable versions.

#include "effects/bitmap/rowprimitives.h"

#include <emmintrin.h>

namespace luxraster::sse2 {

namespace {

constexpr int kPrefetchBytes = 2048;

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

inline __m128i select(__m128i mask, __m128i ifSet, __m128i ifClear)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// Four pixels at once without widening: the 16-bit lanes hold blue and red
// ("rb", the bytes masked by 0x00FF00FF) or green and alpha ("ga", shifted
// down by 8), so every lane carries one channel and the products
// (F - B) * a stay inside their lanes.
struct Channels {
    __m128i rb;
    __m128i ga;
};

inline Channels split(__m128i p)
{
    return {_mm_and_si128(p, _mm_set1_epi32(0x00FF00FF)), _mm_srli_epi16(p, 8)};
}

// The alpha of each pixel in both lanes of that pixel (from the ga lanes).
inline __m128i alphaLanes(__m128i ga)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(ga, 0xF5), 0xF5);
}

// Low byte of each lane for rb, high byte for ga, joined into pixels.
inline __m128i join(__m128i rbSum, __m128i gaSum)
{
    return _mm_or_si128(_mm_srli_epi16(rbSum, 8), _mm_andnot_si128(_mm_set1_epi32(0x00FF00FF), gaSum));
}

// Row form of the packed blend: (B << 8) + (F - B) * a per lane, with a = 255
// taken as 256 so that an opaque foreground comes out unchanged; a = 0 gives B.
inline __m128i packedRow4(__m128i s, __m128i t)
{
    const Channels f = split(s), b = split(t);
    __m128i a = alphaLanes(f.ga);
    a = _mm_sub_epi16(a, _mm_cmpeq_epi16(a, _mm_set1_epi16(255)));
    // B << 8 straight from T: the shift drops the other channel's byte, the
    // mask keeps the high byte in place.
    const __m128i rb = _mm_add_epi16(_mm_slli_epi16(t, 8), _mm_mullo_epi16(_mm_sub_epi16(f.rb, b.rb), a));
    const __m128i ga = _mm_add_epi16(_mm_andnot_si128(_mm_set1_epi32(0x00FF00FF), t),
                                     _mm_mullo_epi16(_mm_sub_epi16(f.ga, b.ga), a));
    return join(rb, ga);
}

// Plain blend: (B << 8) - B + (F - B) * a = F * a + B * (255 - a), in 0..65025;
// alpha 255; a = 0 and a = 255 are chosen by the caller.
inline __m128i plain4(__m128i s, __m128i t)
{
    const Channels f = split(s), b = split(t);
    const __m128i a = alphaLanes(f.ga);
    const __m128i rb = _mm_add_epi16(_mm_sub_epi16(_mm_slli_epi16(b.rb, 8), b.rb),
                                     _mm_mullo_epi16(_mm_sub_epi16(f.rb, b.rb), a));
    const __m128i ga = _mm_add_epi16(_mm_sub_epi16(_mm_slli_epi16(b.ga, 8), b.ga),
                                     _mm_mullo_epi16(_mm_sub_epi16(f.ga, b.ga), a));
    return _mm_or_si128(join(rb, ga), _mm_set1_epi32(int(0xFF000000)));
}

} // namespace

TluxColor pixelBlendPacked(TluxColor F, TluxColor B)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i f = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(F)), zero);
    const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(B)), zero);
    return TluxColor(_mm_cvtsi128_si32(_mm_packus_epi16(packedHalf(f, b), zero)));
}

namespace {

inline __m128i load(const TluxColor* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void store(TluxColor* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

template <bool Packed>
inline __m128i blend4(__m128i s, __m128i t)
{
    if constexpr (Packed) {
        return packedRow4(s, t);
    } else {
        const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000));
        const __m128i alpha = _mm_and_si128(s, alphaMask);
        const __m128i opaque = _mm_cmpeq_epi32(alpha, alphaMask);
        const __m128i clear = _mm_cmpeq_epi32(alpha, _mm_setzero_si128());
        return select(opaque, s, select(clear, t, plain4(s, t)));
    }
}

// Sixteen pixels (one cache line of each row) per step; runs that are wholly
// opaque need no read of T, wholly clear ones no write. Returns the pixels done.
template <bool Packed>
inline int blendRuns(const TluxColor* S, TluxColor* T, int n)
{
    // The alpha bytes' lanes of a byte-wise movemask.
    constexpr int alphaBits = 0x8888;
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        prefetch(S + i);
        prefetch(T + i);
        const __m128i s0 = load(S + i), s1 = load(S + i + 4), s2 = load(S + i + 8), s3 = load(S + i + 12);
        const __m128i all = _mm_and_si128(_mm_and_si128(s0, s1), _mm_and_si128(s2, s3));
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(all, _mm_set1_epi32(-1))) & alphaBits) == alphaBits) {
            store(T + i, s0);
            store(T + i + 4, s1);
            store(T + i + 8, s2);
            store(T + i + 12, s3);
            continue;
        }
        const __m128i any = _mm_or_si128(_mm_or_si128(s0, s1), _mm_or_si128(s2, s3));
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) & alphaBits) == alphaBits)
            continue;
        store(T + i, blend4<Packed>(s0, load(T + i)));
        store(T + i + 4, blend4<Packed>(s1, load(T + i + 4)));
        store(T + i + 8, blend4<Packed>(s2, load(T + i + 8)));
        store(T + i + 12, blend4<Packed>(s3, load(T + i + 12)));
    }
    for (; i + 4 <= n; i += 4)
        store(T + i, blend4<Packed>(load(S + i), load(T + i)));
    return i;
}

} // namespace

void lineBlendPacked(const TluxColor* S, TluxColor* T, int n)
{
    const int done = blendRuns<true>(S, T, n);
    luxraster::lineBlendPacked(S + done, T + done, n - done);
}

void lineBlendPlain(const TluxColor* S, TluxColor* T, int n)
{
    const int done = blendRuns<false>(S, T, n);
    luxraster::lineBlendPlain(S + done, T + done, n - done);
}

// Branch-free: the holes of a picture are too irregular to predict.
void lineTransparent(const TluxColor* S, TluxColor* T, int n)
{
    const __m128i key = _mm_set1_epi32(int(luxTransparent & luxTransparentMask));
    const __m128i colour = _mm_set1_epi32(int(luxTransparentMask));
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        if ((i & 15) == 0) {
            prefetch(S + i);
            prefetch(T + i);
        }
        const __m128i s = load(S + i);
        const __m128i hole = _mm_cmpeq_epi32(_mm_and_si128(s, colour), key);
        store(T + i, select(hole, load(T + i), _mm_or_si128(s, alphaMask)));
    }
    luxraster::lineTransparent(S + i, T + i, n - i);
}

} // namespace luxraster::sse2
