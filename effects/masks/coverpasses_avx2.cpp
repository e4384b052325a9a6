#include "effects/masks/coverpasses.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

namespace coverpass::avx2 {

namespace {

struct Words {
    __m256i first, last;
};

LUX_AVX2 inline Words eightCells(const uint32_t* cells)
{
    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells));
    return {_mm256_and_si256(w, _mm256_set1_epi32(none)), _mm256_srli_epi32(w, 16)};
}

// v where a shape in low .. high reaches the cell.
struct Reached {
    __m256i high, low, v;

    LUX_AVX2 __m256i operator()(const uint32_t* cells) const
    {
        const Words c = eightCells(cells);
        const __m256i missed = _mm256_or_si256(_mm256_cmpgt_epi32(c.first, high), _mm256_cmpgt_epi32(low, c.last));
        return _mm256_andnot_si256(missed, v);
    }
};

// The last shapes, capped at high, pick their levels with a gather; cleared where the first
// shape lies beyond high.
struct LastLevel {
    __m256i high;
    const int32_t* levels;

    LUX_AVX2 __m256i operator()(const uint32_t* cells) const
    {
        const Words c = eightCells(cells);
        const __m256i level = _mm256_i32gather_epi32(levels, _mm256_min_epu32(c.last, high), 4);
        return _mm256_andnot_si256(_mm256_cmpgt_epi32(c.first, high), level);
    }
};

// Sixteen cells a step, eight at a time as 32-bit values (0 .. 255), packed to bytes.
template <typename Eight>
LUX_AVX2 void sixteenAtATime(uint8_t* out, const uint32_t* cells, size_t count, const Eight& eight)
{
    for (size_t i = 0; i + 16 <= count; i += 16) {
        const __m256i lo = eight(cells + i);
        const __m256i hi = eight(cells + i + 8);
        // packus works within 128-bit lanes: put the quarters back in order.
        const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(lo, hi), 0xD8);
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
    }
}

} // namespace

LUX_AVX2 void reachedLevel(uint8_t* out, const uint32_t* cells, size_t count, uint16_t low, uint16_t high, uint8_t v)
{
    const Reached reached{_mm256_set1_epi32(high), _mm256_set1_epi32(low), _mm256_set1_epi32(v)};
    sixteenAtATime(out, cells, count, reached);
}

LUX_AVX2 void lastLevels(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high, const int32_t* levels)
{
    sixteenAtATime(out, cells, count, LastLevel{_mm256_set1_epi32(high), levels});
}

} // namespace coverpass::avx2
