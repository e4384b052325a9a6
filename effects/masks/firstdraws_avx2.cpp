#include "effects/masks/firstdraws.h"

#include "effects/masks/firstdrawsteps.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

#include <algorithm>

namespace firstdraws::avx2 {

namespace {

constexpr int chains = 4; // independent vectors in flight, so that the multiplications overlap

LUX_AVX2 inline __m256i load(const uint32_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The least of the draws from seed to v, less one, over eight lanes times `chains` of states v from `from` on,
// those not within first .. first + span left out.
LUX_AVX2 inline __m256i leastDraws(const LowSteps& low, uint32_t from, __m256i first, __m256i span, __m256i least)
{
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i v[chains], s[chains], t[chains];
    for (int k = 0; k < chains; ++k) {
        const uint32_t at = from + 8u * uint32_t(k);
        v[k] = _mm256_add_epi32(_mm256_set1_epi32(int(at)), lane);
        s[k] = load(low.state.data() + (at & (lowCount - 1)));
        t[k] = load(low.draws.data() + (at & (lowCount - 1)));
    }
    for (int j = lowBits; j < 32; ++j) {
        const __m256i bit = _mm256_set1_epi32(int(uint32_t(1) << j));
        const __m256i mul = _mm256_set1_epi32(int(jumps.mul[j]));
        const __m256i add = _mm256_set1_epi32(int(jumps.add[j]));
        for (int k = 0; k < chains; ++k) {
            const __m256i differs = _mm256_and_si256(_mm256_xor_si256(s[k], v[k]), bit);
            t[k] = _mm256_or_si256(t[k], differs);
            const __m256i moved = _mm256_add_epi32(_mm256_mullo_epi32(s[k], mul), add);
            s[k] = _mm256_blendv_epi8(s[k], moved, _mm256_cmpeq_epi32(differs, bit));
        }
    }
    const __m256i one = _mm256_set1_epi32(1);
    for (int k = 0; k < chains; ++k) {
        const __m256i offset = _mm256_sub_epi32(v[k], first);
        const __m256i outside = _mm256_xor_si256(_mm256_cmpeq_epi32(_mm256_min_epu32(offset, span), offset),
                                                 _mm256_set1_epi32(-1));
        least = _mm256_min_epu32(least, _mm256_or_si256(_mm256_sub_epi32(t[k], one), outside));
    }
    return least;
}

} // namespace

LUX_AVX2 void firstDraws(uint32_t seed, uint32_t n, const uint32_t* cells, size_t count, uint32_t* out)
{
    const LowSteps low(seed);
    for (size_t i = 0; i < count; ++i) {
        const StateRange r = statesOf(cells[i], n);
        const __m256i first = _mm256_set1_epi32(int(r.first));
        const __m256i span = _mm256_set1_epi32(int(r.last - r.first));
        __m256i least = _mm256_set1_epi32(-1);
        // From the multiple of eight at or below the first state, so that the lanes' low bits
        // are eight neighbours in the table.
        for (uint64_t from = r.first & ~uint32_t(7); from <= r.last; from += 8 * chains)
            least = leastDraws(low, uint32_t(from), first, span, least);
        alignas(32) uint32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), least);
        out[i] = *std::min_element(lanes, lanes + 8);
    }
}

} // namespace firstdraws::avx2
