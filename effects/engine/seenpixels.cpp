#include "effects/engine/seenpixels.h"

#include "effects/bitmap/dispatch.h"

#include <emmintrin.h>

namespace seenpixels {

namespace {

// All ones in the lanes whose pixel has no alpha.
inline __m128i hiddenLanes(__m128i px)
{
    return _mm_cmpeq_epi32(_mm_and_si128(px, _mm_set1_epi32(int(0xFF000000u))), _mm_setzero_si128());
}

inline __m128i select(__m128i mask, __m128i ifSet, __m128i ifClear)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

inline TluxColor seenOr(TluxColor s, TluxColor old)
{
    return (s >> 24) != 0 ? s : old;
}

// The copies with the vector steps of one level (Scalar: pixel by pixel).
template <SimdLevel Level>
void copySeenAt(const TluxColor* in, TluxColor* out, int n)
{
    int x = 0;
    if constexpr (Level == SimdLevel::Avx2) {
        x = n - n % 8;
        avx2::copySeen(in, out, x);
    }
    // Four pixels a step: lanes whose alpha byte is zero keep the old pixel.
    for (; Level != SimdLevel::Scalar && x + 4 <= n; x += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i hidden = hiddenLanes(s);
        __m128i* to = reinterpret_cast<__m128i*>(out + x);
        _mm_storeu_si128(to, _mm_movemask_epi8(hidden) == 0 ? s : select(hidden, _mm_loadu_si128(to), s));
    }
    for (; x < n; ++x)
        out[x] = seenOr(in[x], out[x]);
}

template <SimdLevel Level>
void copySeenTwiceAt(const TluxColor* first, const TluxColor* second, TluxColor* out, int n)
{
    int x = 0;
    if constexpr (Level == SimdLevel::Avx2) {
        x = n - n % 8;
        avx2::copySeenTwice(first, second, out, x);
    }
    for (; Level != SimdLevel::Scalar && x + 4 <= n; x += 4) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + x));
        const __m128i hiddenB = hiddenLanes(b);
        __m128i* to = reinterpret_cast<__m128i*>(out + x);
        if (_mm_movemask_epi8(hiddenB) == 0) {
            _mm_storeu_si128(to, b);
            continue;
        }
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + x));
        const __m128i underB = select(hiddenLanes(a), _mm_loadu_si128(to), a);
        _mm_storeu_si128(to, select(hiddenB, underB, b));
    }
    for (; x < n; ++x)
        out[x] = seenOr(second[x], seenOr(first[x], out[x]));
}

template <SimdLevel Level>
void fillCopies(LuxDispatch& d)
{
    d.copySeen = copySeenAt<Level>;
    d.copySeenTwice = copySeenTwiceAt<Level>;
}

[[maybe_unused]] const bool filled =
    addDispatchFill({fillCopies<SimdLevel::Scalar>, fillCopies<SimdLevel::Sse2>, fillCopies<SimdLevel::Avx2>});

} // namespace

void copySeen(const TluxColor* in, TluxColor* out, int n)
{
    luxDispatch().copySeen(in, out, n);
}

void copySeenTwice(const TluxColor* first, const TluxColor* second, TluxColor* out, int n)
{
    luxDispatch().copySeenTwice(first, second, out, n);
}

} // namespace seenpixels
