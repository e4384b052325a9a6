#include "effects/engine/coverpasses.h"

#include <immintrin.h>

#define LUX_AVX2 __attribute__((target("avx2")))

namespace coverpass::avx2 {

namespace {

// Eight cells: the last shapes, capped at high, pick their levels with a gather; cleared where
// the first shape lies beyond high.
LUX_AVX2 inline __m256i eightLevels(const uint32_t* cells, __m256i cap, const int32_t* levels)
{
    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells));
    const __m256i first = _mm256_and_si256(w, _mm256_set1_epi32(none));
    const __m256i last = _mm256_min_epu32(_mm256_srli_epi32(w, 16), cap);
    const __m256i level = _mm256_i32gather_epi32(levels, last, 4);
    return _mm256_andnot_si256(_mm256_cmpgt_epi32(first, cap), level);
}

} // namespace

// Sixteen cells a step, their levels packed to bytes.
LUX_AVX2 void lastLevels(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels)
{
    const __m256i cap = _mm256_set1_epi32(high);
    for (size_t i = 0; i + 16 <= count; i += 16) {
        const __m256i lo = eightLevels(cells + i, cap, levels);
        const __m256i hi = eightLevels(cells + i + 8, cap, levels);
        // packus works within 128-bit lanes: put the quarters back in order.
        const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(lo, hi), 0xD8);
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
    }
}

} // namespace coverpass::avx2
