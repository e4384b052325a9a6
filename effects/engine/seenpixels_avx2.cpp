#include "effects/engine/seenpixels.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

namespace seenpixels::avx2 {

// Eight pixels a step; a step whose pixels all have alpha is stored without reading the old ones.
LUX_AVX2 void copySeen(const TluxColor* in, TluxColor* out, int n)
{
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    for (int x = 0; x + 8 <= n; x += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x));
        const __m256i hidden = _mm256_cmpeq_epi32(_mm256_and_si256(s, alpha), _mm256_setzero_si256());
        __m256i* to = reinterpret_cast<__m256i*>(out + x);
        if (_mm256_testz_si256(hidden, hidden))
            _mm256_storeu_si256(to, s);
        else
            _mm256_storeu_si256(to, _mm256_blendv_epi8(s, _mm256_loadu_si256(to), hidden));
    }
}

// Eight pixels a step; where the second row's pixels all have alpha the others are not read.
LUX_AVX2 void copySeenTwice(const TluxColor* first, const TluxColor* second, TluxColor* out, int n)
{
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    for (int x = 0; x + 8 <= n; x += 8) {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second + x));
        const __m256i hiddenB = _mm256_cmpeq_epi32(_mm256_and_si256(b, alpha), _mm256_setzero_si256());
        __m256i* to = reinterpret_cast<__m256i*>(out + x);
        if (_mm256_testz_si256(hiddenB, hiddenB)) {
            _mm256_storeu_si256(to, b);
            continue;
        }
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + x));
        const __m256i hiddenA = _mm256_cmpeq_epi32(_mm256_and_si256(a, alpha), _mm256_setzero_si256());
        const __m256i underB = _mm256_blendv_epi8(a, _mm256_loadu_si256(to), hiddenA);
        _mm256_storeu_si256(to, _mm256_blendv_epi8(b, underB, hiddenB));
    }
}

} // namespace seenpixels::avx2
