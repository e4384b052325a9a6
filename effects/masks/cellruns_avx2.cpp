// The vector steps of the cell rows with 32-byte registers: sixteen records (96 bytes, three
// registers) per step. Only the caller's in-range cells come here, so the 16-bit lanes never
// wrap in a step that is stored or compared.

#include "effects/masks/cellruns.h"
#include "effects/util/simdtarget.h"

#include <immintrin.h>

#include <cstdint>

namespace cellruns::avx2 {

namespace {

struct Lanes {
    __m256i v[3];
};

// Sixteen records {alpha, 0, first + stride * k / 16 ... } laid out as three registers.
LUX_AVX2 inline Lanes lanesOf(const TluxCell (&records)[16])
{
    const auto* p = reinterpret_cast<const __m256i*>(records);
    return {{_mm256_loadu_si256(p), _mm256_loadu_si256(p + 1), _mm256_loadu_si256(p + 2)}};
}

LUX_AVX2 inline Lanes runTemplate(int first, int sourceY)
{
    TluxCell records[16];
    for (int k = 0; k < 16; ++k)
        records[k] = TluxCell{255, 0, int16_t(first + k), int16_t(sourceY)};
    return lanesOf(records);
}

LUX_AVX2 inline Lanes stepOf(int stride)
{
    TluxCell records[16];
    for (int k = 0; k < 16; ++k)
        records[k] = TluxCell{0, 0, int16_t(stride), 0};
    return lanesOf(records);
}

LUX_AVX2 inline void advance(Lanes& t, const Lanes& step)
{
    for (int v = 0; v < 3; ++v)
        t.v[v] = _mm256_add_epi16(t.v[v], step.v[v]);
}

// Whether the sixteen records from `at` equal the template, Reserved not looked at.
LUX_AVX2 inline bool blockMatches(const TluxCell* at, const Lanes& t, const Lanes& keep)
{
    const auto* p = reinterpret_cast<const __m256i*>(at);
    const __m256i m0 = _mm256_cmpeq_epi16(_mm256_and_si256(_mm256_loadu_si256(p), keep.v[0]), t.v[0]);
    const __m256i m1 = _mm256_cmpeq_epi16(_mm256_and_si256(_mm256_loadu_si256(p + 1), keep.v[1]), t.v[1]);
    const __m256i m2 = _mm256_cmpeq_epi16(_mm256_and_si256(_mm256_loadu_si256(p + 2), keep.v[2]), t.v[2]);
    return _mm256_movemask_epi8(_mm256_and_si256(_mm256_and_si256(m0, m1), m2)) == -1;
}

LUX_AVX2 inline Lanes keepMask()
{
    TluxCell records[16];
    for (TluxCell& r : records)
        r = TluxCell{255, 0, -1, -1};
    return lanesOf(records);
}

} // namespace

LUX_AVX2 int fillInRange(TluxCell* row, int n, int firstSourceX, int16_t sourceY)
{
    // The records before the first one on a 32-byte boundary are left to the caller's
    // narrower steps; 96-byte steps keep the boundary.
    int head = 0;
    while (head < 16 && (reinterpret_cast<uintptr_t>(row + head) & 31) != 0)
        ++head;
    if (head == 16 || n - head < 16)
        return 0;
    Lanes t = runTemplate(firstSourceX + head, sourceY);
    const Lanes step = stepOf(16);
    auto* out = reinterpret_cast<__m256i*>(row + head);
    const int steps = (n - head) / 16;
    for (int s = 0; s < steps; ++s, out += 3) {
        _mm256_store_si256(out, t.v[0]);
        _mm256_store_si256(out + 1, t.v[1]);
        _mm256_store_si256(out + 2, t.v[2]);
        advance(t, step);
    }
    for (int x = 0; x < head; ++x)
        row[x] = TluxCell{255, 0, int16_t(firstSourceX + x), sourceY};
    return head + steps * 16;
}

LUX_AVX2 int runLength(const TluxCell* row, int n, int firstSourceX, int sourceY)
{
    Lanes t = runTemplate(firstSourceX, sourceY);
    const Lanes step = stepOf(16), keep = keepMask();
    int k = 0;
    for (; k + 16 <= n && blockMatches(row + k, t, keep); k += 16)
        advance(t, step);
    return k;
}

LUX_AVX2 int runLengthBackwards(const TluxCell* row, int n, int firstSourceX, int sourceY)
{
    // A block is the sixteen records row[-k - 15] .. row[-k], in memory order.
    Lanes t = runTemplate(firstSourceX - 15, sourceY);
    const Lanes step = stepOf(-16), keep = keepMask();
    int k = 0;
    for (; k + 16 <= n && blockMatches(row - k - 15, t, keep); k += 16)
        advance(t, step);
    return k;
}

} // namespace cellruns::avx2
