#include "effects/bitmap/gatherblocks.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

namespace luxraster::avx2 {

LUX_AVX2 void gatherBlocks(const TluxColor* in, TluxColor* out, const GatherBlock* blocks, int count)
{
    for (int k = 0; k < count; ++k, out += 8) {
        const GatherBlock& b = blocks[k];
        const TluxColor* p = in + b.base;
        if (b.loads == 0) {
            for (int j = 0; j < 8; ++j)
                out[j] = p[b.offsets[j]];
            continue;
        }
        const __m256i idx = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b.offsets));
        // Only the low three bits of each index count: offsets 8..15 pick from the second load.
        __m256i v = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), idx);
        if (b.loads == 2) {
            const __m256i hi =
                _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8)), idx);
            v = _mm256_blendv_epi8(v, hi, _mm256_cmpgt_epi32(idx, _mm256_set1_epi32(7)));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), v);
    }
}

} // namespace luxraster::avx2
