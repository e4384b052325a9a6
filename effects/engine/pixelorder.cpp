#include "effects/engine/pixelorder.h"

#include <new>
#include <system_error>

namespace {

constexpr uint32_t lcgMul = 134775813u;
constexpr int lanes = 8;

// The step s -> a s + c applied j + 1 times, for j = 0 .. lanes - 1: the lanes of a block start
// from one state without a chain of dependent multiplications, and each then moves on by
// `lanes` steps.
struct LanePowers {
    uint32_t mul[lanes];
    uint32_t add[lanes];
};

constexpr LanePowers lanePowers()
{
    LanePowers p{};
    uint32_t m = lcgMul, a = 1u;
    for (int j = 0; j < lanes; ++j) {
        p.mul[j] = m;
        p.add[j] = a;
        m *= lcgMul;
        a = a * lcgMul + 1u;
    }
    return p;
}

constexpr LanePowers powers = lanePowers();

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

// Draws until k distinct cells have come up. The draws are made a block at a time (states and
// cells first, in independent lanes), then examined in order; the state kept is the one of
// the draw that found the k-th cell, so the result is as if drawn one by one. Everything the
// loop touches is a local copy, so the stores do not force reloads.
void PixelOrder::extend(uint32_t k)
{
    constexpr int block = 512;
    uint64_t* const seen = m_seen.data();
    uint32_t* const rank = m_rank.data();
    uint32_t* const after = m_seedAfter.data();
    const uint64_t n = m_n;
    uint32_t found = m_found;
    uint32_t seed = m_seed;
    uint32_t states[block];
    uint32_t cells[block];
    while (found < k) {
        uint32_t lane[lanes];
        for (int j = 0; j < lanes; ++j)
            lane[j] = seed * powers.mul[j] + powers.add[j];
        for (int i = 0; i < block; i += lanes)
            for (int j = 0; j < lanes; ++j) {
                states[i + j] = lane[j];
                cells[i + j] = uint32_t((uint64_t(lane[j]) * n) >> 32);
                lane[j] = lane[j] * powers.mul[lanes - 1] + powers.add[lanes - 1];
            }
        seed = states[block - 1];
        for (int i = 0; i < block; ++i) {
            const uint32_t cell = cells[i];
            const uint64_t bit = uint64_t(1) << (cell & 63);
            const uint64_t word = seen[cell >> 6];
            if (word & bit)
                continue;
            seen[cell >> 6] = word | bit;
            rank[cell] = found;
            after[found] = states[i];
            if (++found == k) {
                seed = states[i];
                break;
            }
        }
    }
    m_found = found;
    m_seed = seed;
}

PixelOrder::~PixelOrder()
{
    stopAhead();
}

void PixelOrder::prepareAhead(uint32_t n)
{
    if (n == 0 || (n == m_n && m_found == n && m_rank.size() == n) || (m_ahead && m_ahead->n == n))
        return;
    stopAhead();
    // The frames' own copy is laid out now, not in the first frame.
    if (n != m_n || m_rank.size() != n)
        reset(n);
    m_ahead = std::make_unique<Ahead>();
    Ahead* job = m_ahead.get();
    job->n = n;
    job->order = std::make_unique<PixelOrder>();
    try {
        job->thread = std::thread([job] {
            try {
                job->order->reset(job->n);
                job->order->extend(job->n);
            } catch (const std::bad_alloc&) {
                job->order->release(); // left empty: the frames draw the order themselves
            }
            job->done.store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        m_ahead.reset(); // no thread to be had: the frames draw the order themselves
    }
}

void PixelOrder::stopAhead()
{
    if (m_ahead && m_ahead->thread.joinable())
        m_ahead->thread.join();
    m_ahead.reset();
}

// The finished order of the thread replaces this one (the thread is joined first).
void PixelOrder::adoptAhead()
{
    m_ahead->thread.join();
    PixelOrder& done = *m_ahead->order;
    if (done.m_rank.size() != m_ahead->n) {
        m_ahead.reset();
        return;
    }
    m_n = done.m_n;
    m_seed = done.m_seed;
    m_found = done.m_found;
    m_rank.swap(done.m_rank);
    m_seen.swap(done.m_seen);
    m_seedAfter.swap(done.m_seedAfter);
    m_ahead.reset();
}

const uint32_t* PixelOrder::ranks(uint32_t n, uint32_t k)
{
    if (k > n)
        k = n;
    const bool known = n == m_n && m_rank.size() == n && k <= m_found;
    if (!known && m_ahead && m_ahead->n == n) {
        // Take the thread's order once it is done, or wait for it when the frame needs the
        // costly last twentieth of the cells.
        if (m_ahead->done.load(std::memory_order_acquire) || uint64_t(n - k) * 20 < n)
            adoptAhead();
    }
    if (n != m_n || m_rank.size() != n)
        reset(n);
    if (k > m_found)
        extend(k);
    return m_rank.data();
}

void PixelOrder::release()
{
    stopAhead();
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
