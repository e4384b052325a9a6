#include "effects/engine/seenpixels.h"

#include "effects/bitmap/rasterdispatch.h"

#include <emmintrin.h>

namespace seenpixels {

void copySeen(const TluxColor* in, TluxColor* out, int n, SimdLevel level)
{
    int x = 0;
    if (level == SimdLevel::Avx2) {
        x = n - n % 8;
        avx2::copySeen(in, out, x);
    }
    // Four pixels a step: lanes whose alpha byte is zero keep the old pixel.
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    for (; level != SimdLevel::Scalar && x + 4 <= n; x += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i hidden = _mm_cmpeq_epi32(_mm_and_si128(s, alpha), _mm_setzero_si128());
        __m128i* to = reinterpret_cast<__m128i*>(out + x);
        if (_mm_movemask_epi8(hidden) == 0)
            _mm_storeu_si128(to, s);
        else
            _mm_storeu_si128(to, _mm_or_si128(_mm_and_si128(hidden, _mm_loadu_si128(to)), _mm_andnot_si128(hidden, s)));
    }
    for (; x < n; ++x) {
        const TluxColor s = in[x];
        out[x] = (s >> 24) != 0 ? s : out[x];
    }
}

void copySeen(const TluxColor* in, TluxColor* out, int n)
{
    copySeen(in, out, n, rasterDispatch().level);
}

} // namespace seenpixels
