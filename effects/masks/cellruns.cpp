#include "effects/masks/cellruns.h"

#include "effects/bitmap/dispatch.h"

#include <algorithm>
#include <limits>

#include <emmintrin.h>

namespace cellruns {

namespace {

constexpr int64_t kLowest = std::numeric_limits<int16_t>::min();
constexpr int64_t kHighest = std::numeric_limits<int16_t>::max();

// Eight records are 48 bytes, three vectors of eight 16-bit lanes: the template holds the
// first eight records of the run, and each step adds 8 to its SourceX lanes. The caller
// passes only cells whose sources fit in 16 bits, so the lanes never wrap in a stored step.
void fillInRange(TluxCell* row, int n, int firstSourceX, int16_t sourceY)
{
    // Records up to the first one on a 16-byte boundary are written one by one, so that
    // the stores fall on boundaries (48-byte steps keep it); a row at an odd address has
    // none, and its stores simply go unaligned.
    int head = 0;
    while (head < n && head < 8 && (reinterpret_cast<uintptr_t>(row + head) & 15) != 0)
        ++head;
    if (head == 8)
        head = 0;
    for (int x = 0; x < head; ++x)
        row[x] = TluxCell{255, 0, int16_t(firstSourceX + x), sourceY};
    row += head;
    n -= head;
    firstSourceX += head;
    const int steps = n / 8;
    if (steps > 0) {
        TluxCell lanes[8], advance[8];
        for (int k = 0; k < 8; ++k) {
            lanes[k] = TluxCell{255, 0, int16_t(firstSourceX + k), sourceY};
            advance[k] = TluxCell{0, 0, 8, 0};
        }
        const auto* l = reinterpret_cast<const __m128i*>(lanes);
        const auto* a = reinterpret_cast<const __m128i*>(advance);
        __m128i v0 = _mm_loadu_si128(l), v1 = _mm_loadu_si128(l + 1), v2 = _mm_loadu_si128(l + 2);
        const __m128i a0 = _mm_loadu_si128(a), a1 = _mm_loadu_si128(a + 1), a2 = _mm_loadu_si128(a + 2);
        auto* out = reinterpret_cast<__m128i*>(row);
        for (int s = 0; s < steps; ++s, out += 3) {
            _mm_storeu_si128(out, v0);
            _mm_storeu_si128(out + 1, v1);
            _mm_storeu_si128(out + 2, v2);
            v0 = _mm_add_epi16(v0, a0);
            v1 = _mm_add_epi16(v1, a1);
            v2 = _mm_add_epi16(v2, a2);
        }
    }
    for (int x = steps * 8; x < n; ++x)
        row[x] = TluxCell{255, 0, int16_t(firstSourceX + x), sourceY};
}

// The three vectors of eight records in memory order from `at`, compared with the records
// {255, any, first + k, sourceY}, k = 0 .. 7: true when all eight match.
inline bool blockMatches(const TluxCell* at, __m128i e0, __m128i e1, __m128i e2, __m128i keep0, __m128i keep1,
                         __m128i keep2)
{
    const auto* p = reinterpret_cast<const __m128i*>(at);
    const __m128i m0 = _mm_cmpeq_epi16(_mm_and_si128(_mm_loadu_si128(p), keep0), e0);
    const __m128i m1 = _mm_cmpeq_epi16(_mm_and_si128(_mm_loadu_si128(p + 1), keep1), e1);
    const __m128i m2 = _mm_cmpeq_epi16(_mm_and_si128(_mm_loadu_si128(p + 2), keep2), e2);
    return _mm_movemask_epi8(_mm_and_si128(_mm_and_si128(m0, m1), m2)) == 0xFFFF;
}

struct RunTemplate {
    __m128i e[3], step[3], keep[3];

    // Records first, first + 1, ... in memory order; step adds `stride` to every SourceX lane.
    RunTemplate(int first, int sourceY, int stride)
    {
        TluxCell lanes[8], advance[8], mask[8];
        for (int k = 0; k < 8; ++k) {
            lanes[k] = TluxCell{255, 0, int16_t(first + k), int16_t(sourceY)};
            advance[k] = TluxCell{0, 0, int16_t(stride), 0};
            mask[k] = TluxCell{255, 0, -1, -1}; // Reserved is never read
        }
        const auto* l = reinterpret_cast<const __m128i*>(lanes);
        const auto* a = reinterpret_cast<const __m128i*>(advance);
        const auto* m = reinterpret_cast<const __m128i*>(mask);
        for (int v = 0; v < 3; ++v) {
            e[v] = _mm_loadu_si128(l + v);
            step[v] = _mm_loadu_si128(a + v);
            keep[v] = _mm_loadu_si128(m + v);
        }
    }
    void advance()
    {
        for (int v = 0; v < 3; ++v)
            e[v] = _mm_add_epi16(e[v], step[v]);
    }
};

// Whether the eight records from `at` all have Alpha 0.
inline bool blockClear(const TluxCell* at)
{
    static const TluxCell alphaOnly[8] = {{255, 0, 0, 0}, {255, 0, 0, 0}, {255, 0, 0, 0}, {255, 0, 0, 0},
                                          {255, 0, 0, 0}, {255, 0, 0, 0}, {255, 0, 0, 0}, {255, 0, 0, 0}};
    const auto* m = reinterpret_cast<const __m128i*>(alphaOnly);
    const auto* p = reinterpret_cast<const __m128i*>(at);
    const __m128i seen = _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_loadu_si128(p), _mm_loadu_si128(m)),
                                                   _mm_and_si128(_mm_loadu_si128(p + 1), _mm_loadu_si128(m + 1))),
                                      _mm_and_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(m + 2)));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(seen, _mm_setzero_si128())) == 0xFFFF;
}

inline bool continues(const TluxCell& c, int sourceX, int sourceY)
{
    return c.Alpha == 255 && c.SourceX == sourceX && c.SourceY == sourceY;
}

} // namespace

int16_t cellCoordinate(int64_t v)
{
    return int16_t(std::clamp(v, kLowest, kHighest));
}

void fillMovedRunScalar(TluxCell* row, int n, int64_t firstSourceX, int64_t sourceY)
{
    const int16_t y = cellCoordinate(sourceY);
    for (int x = 0; x < n; ++x)
        row[x] = TluxCell{255, 0, cellCoordinate(firstSourceX + x), y};
}

namespace {

// The rows with the vector steps of one level (Scalar: record by record).
template <SimdLevel Level>
void fillMovedRunAt(TluxCell* row, int n, int64_t firstSourceX, int64_t sourceY)
{
    if (n <= 0)
        return;
    if constexpr (Level == SimdLevel::Scalar) {
        fillMovedRunScalar(row, n, firstSourceX, sourceY);
        return;
    }
    // Cells from .. to - 1 have sources inside the 16-bit range.
    const int from = int(std::clamp<int64_t>(kLowest - firstSourceX, 0, n));
    const int to = int(std::clamp<int64_t>(kHighest - firstSourceX + 1, from, n));
    fillMovedRunScalar(row, from, firstSourceX, sourceY);
    const int16_t y = cellCoordinate(sourceY);
    const int wide = Level == SimdLevel::Avx2 ? avx2::fillInRange(row + from, to - from, int(firstSourceX + from), y) : 0;
    fillInRange(row + from + wide, to - from - wide, int(firstSourceX + from + wide), y);
    fillMovedRunScalar(row + to, n - to, firstSourceX + to, sourceY);
}

template <SimdLevel Level>
int runLengthAt(const TluxCell* row, int n, int firstSourceX, int sourceY)
{
    int k = 0;
    if constexpr (Level != SimdLevel::Scalar) {
        // No 16-bit SourceX names a cell beyond 32767: the vector steps stop there.
        const int inRange = int(std::min<int64_t>(n, kHighest + 1 - int64_t(firstSourceX)));
        if constexpr (Level == SimdLevel::Avx2)
            k = avx2::runLength(row, inRange, firstSourceX, sourceY);
        RunTemplate t(firstSourceX + k, sourceY, 8);
        for (; k + 8 <= inRange && blockMatches(row + k, t.e[0], t.e[1], t.e[2], t.keep[0], t.keep[1], t.keep[2]); k += 8)
            t.advance();
    }
    while (k < n && continues(row[k], firstSourceX + k, sourceY))
        ++k;
    return k;
}

template <SimdLevel Level>
int runLengthBackwardsAt(const TluxCell* row, int n, int firstSourceX, int sourceY)
{
    int k = 0;
    if constexpr (Level != SimdLevel::Scalar) {
        const int inRange = int(std::min<int64_t>(n, int64_t(firstSourceX) - kLowest + 1));
        if constexpr (Level == SimdLevel::Avx2)
            k = avx2::runLengthBackwards(row, inRange, firstSourceX, sourceY);
        // A block is the eight records row[-k - 7] .. row[-k], in memory order.
        RunTemplate t(firstSourceX - k - 7, sourceY, -8);
        for (; k + 8 <= inRange && blockMatches(row - k - 7, t.e[0], t.e[1], t.e[2], t.keep[0], t.keep[1], t.keep[2]); k += 8)
            t.advance();
    }
    while (k < n && continues(row[-k], firstSourceX - k, sourceY))
        ++k;
    return k;
}

template <SimdLevel Level>
void fillRuns(LuxDispatch& d)
{
    d.fillMovedRun = fillMovedRunAt<Level>;
    d.runLength = runLengthAt<Level>;
    d.runLengthBackwards = runLengthBackwardsAt<Level>;
}

[[maybe_unused]] const bool filled =
    addDispatchFill({fillRuns<SimdLevel::Scalar>, fillRuns<SimdLevel::Sse2>, fillRuns<SimdLevel::Avx2>});

} // namespace

int clearLength(const TluxCell* row, int n)
{
    int k = 0;
    while (k + 8 <= n && blockClear(row + k))
        k += 8;
    while (k < n && row[k].Alpha == 0)
        ++k;
    return k;
}

int clearLengthBackwards(const TluxCell* row, int n)
{
    int k = 0;
    while (k + 8 <= n && blockClear(row - k - 7))
        k += 8;
    while (k < n && row[-k].Alpha == 0)
        ++k;
    return k;
}

void fillMovedRun(TluxCell* row, int n, int64_t firstSourceX, int64_t sourceY)
{
    luxDispatch().fillMovedRun(row, n, firstSourceX, sourceY);
}

int runLength(const TluxCell* row, int n, int firstSourceX, int sourceY)
{
    return luxDispatch().runLength(row, n, firstSourceX, sourceY);
}

int runLengthBackwards(const TluxCell* row, int n, int firstSourceX, int sourceY)
{
    return luxDispatch().runLengthBackwards(row, n, firstSourceX, sourceY);
}

} // namespace cellruns
