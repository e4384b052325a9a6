#include "effects/engine/coverpasses.h"

#include <immintrin.h>

#define LUX_AVX2 __attribute__((target("avx2")))

namespace coverpass::avx2 {

// Sixteen cells a step: the last shapes, capped at high, pick their levels with two gathers;
// the levels are packed to bytes and cleared where the first shape lies beyond high.
LUX_AVX2 void lastLevels(uint8_t* out, const uint16_t* first, const uint16_t* last, size_t count, uint16_t high,
                         const int32_t* levels)
{
    const __m256i cap = _mm256_set1_epi16(short(high));
    for (size_t i = 0; i + 16 <= count; i += 16) {
        const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + i));
        const __m256i l = _mm256_min_epu16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(last + i)), cap);
        const __m256i reached = _mm256_cmpeq_epi16(_mm256_min_epu16(f, cap), f);
        const __m256i lo = _mm256_i32gather_epi32(levels, _mm256_cvtepu16_epi32(_mm256_castsi256_si128(l)), 4);
        const __m256i hi = _mm256_i32gather_epi32(levels, _mm256_cvtepu16_epi32(_mm256_extracti128_si256(l, 1)), 4);
        // packus works within 128-bit lanes: put the quarters back in order.
        const __m256i words = _mm256_and_si256(_mm256_permute4x64_epi64(_mm256_packus_epi32(lo, hi), 0xD8), reached);
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
    }
}

} // namespace coverpass::avx2
