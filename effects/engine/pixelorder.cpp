#include "pixelorder.h"

namespace {

constexpr uint32_t lcgMul = 134775813u;

// Affine powers of the generator step, so that four draws are computed from one state
// without a chain of dependent multiplications.
constexpr uint32_t mul2 = lcgMul * lcgMul;
constexpr uint32_t add2 = lcgMul + 1u;
constexpr uint32_t mul3 = mul2 * lcgMul;
constexpr uint32_t add3 = add2 * lcgMul + 1u;
constexpr uint32_t mul4 = mul3 * lcgMul;
constexpr uint32_t add4 = add3 * lcgMul + 1u;

} // namespace

void PixelOrder::reset(uint32_t n)
{
    m_n = n;
    m_seed = n;
    m_found = 0;
    m_rank.assign(n, notReached);
    m_seen.assign((size_t(n) + 63) / 64, 0);
    m_seedAfter.assign(n, 0);
}

// Draws until k distinct cells have come up, four draws computed per round from one state.
// Everything the loop touches is a local copy, so the stores do not force reloads.
void PixelOrder::extend(uint32_t k)
{
    uint64_t* const seen = m_seen.data();
    uint32_t* const rank = m_rank.data();
    uint32_t* const after = m_seedAfter.data();
    const uint64_t n = m_n;
    uint32_t found = m_found;
    uint32_t seed = m_seed;
    // True when the draw with state s found a new cell; stops the round once k are found.
    auto take = [seen, rank, after, n, &found](uint32_t s) {
        const uint32_t cell = uint32_t((uint64_t(s) * n) >> 32);
        const uint64_t bit = uint64_t(1) << (cell & 63);
        uint64_t word = seen[cell >> 6];
        if (word & bit)
            return false;
        seen[cell >> 6] = word | bit;
        rank[cell] = found;
        after[found] = s;
        ++found;
        return true;
    };
    while (found < k) {
        const uint32_t s1 = seed * lcgMul + 1u;
        const uint32_t s2 = seed * mul2 + add2;
        const uint32_t s3 = seed * mul3 + add3;
        const uint32_t s4 = seed * mul4 + add4;
        // Stop exactly after the draw that completes k, so the scan state stays exact.
        if (take(s1) && found == k) {
            seed = s1;
            break;
        }
        if (take(s2) && found == k) {
            seed = s2;
            break;
        }
        if (take(s3) && found == k) {
            seed = s3;
            break;
        }
        take(s4);
        seed = s4;
    }
    m_found = found;
    m_seed = seed;
}

const uint32_t* PixelOrder::ranks(uint32_t n, uint32_t k)
{
    if (n != m_n || m_rank.size() != n)
        reset(n);
    if (k > n)
        k = n;
    if (k > m_found)
        extend(k);
    return m_rank.data();
}

void PixelOrder::release()
{
    m_n = 0;
    m_seed = 0;
    m_found = 0;
    std::vector<uint32_t>().swap(m_rank);
    std::vector<uint64_t>().swap(m_seen);
    std::vector<uint32_t>().swap(m_seedAfter);
}

PixelOrder& pixelOrder()
{
    static PixelOrder order;
    return order;
}

void releasePixelOrderCache()
{
    pixelOrder().release();
}
