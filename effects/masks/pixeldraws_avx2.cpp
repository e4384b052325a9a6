#include "effects/masks/pixeldraws.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

namespace pixeldraws::avx2 {

namespace {

constexpr LanePowers<16> powers16 = lanePowers<16>();

// The high 32 bits of each lane times n: Random(n) of eight states.
LUX_AVX2 inline __m256i scaled(__m256i s, __m256i n)
{
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(s, n), 32);
    const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(s, 32), n);
    return _mm256_blend_epi32(even, odd, 0xAA);
}

} // namespace

// Two chains of eight lanes each, so that one chain's multiplication runs while the other's
// result is awaited; each lane moves on by 16 steps.
LUX_AVX2 void drawBlock(uint32_t seed, uint32_t n, uint32_t* states, uint32_t* cells, int count)
{
    const __m256i s0 = _mm256_set1_epi32(int(seed));
    const __m256i mulLo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(powers16.mul));
    const __m256i mulHi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(powers16.mul + 8));
    const __m256i addLo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(powers16.add));
    const __m256i addHi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(powers16.add + 8));
    __m256i lo = _mm256_add_epi32(_mm256_mullo_epi32(s0, mulLo), addLo);
    __m256i hi = _mm256_add_epi32(_mm256_mullo_epi32(s0, mulHi), addHi);
    const __m256i step = _mm256_set1_epi32(int(powers16.mul[15]));
    const __m256i stepAdd = _mm256_set1_epi32(int(powers16.add[15]));
    const __m256i range = _mm256_set1_epi64x(int64_t(n));
    for (int i = 0; i < count; i += 16) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(states + i), lo);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(states + i + 8), hi);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + i), scaled(lo, range));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + i + 8), scaled(hi, range));
        lo = _mm256_add_epi32(_mm256_mullo_epi32(lo, step), stepAdd);
        hi = _mm256_add_epi32(_mm256_mullo_epi32(hi, step), stepAdd);
    }
}

} // namespace pixeldraws::avx2
