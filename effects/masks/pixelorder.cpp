#include "effects/masks/pixelorder.h"

#include "platform/arith.h"
#include "effects/masks/pixeldraws.h"
#include "effects/bitmap/dispatch.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>

namespace {

constexpr int lanes = 8;
constexpr pixeldraws::LanePowers<lanes> powers = pixeldraws::lanePowers<lanes>();

// The generator's draws of a block in eight independent lanes, each moving on by eight steps.
void drawBlockPlain(uint32_t seed, uint32_t n, uint32_t* states, uint32_t* cells, int count)
{
    uint32_t lane[lanes];
    for (int j = 0; j < lanes; ++j)
        lane[j] = seed * powers.mul[j] + powers.add[j];
    for (int i = 0; i < count; i += lanes)
        for (int j = 0; j < lanes; ++j) {
            states[i + j] = lane[j];
            cells[i + j] = uint32_t((uint64_t(lane[j]) * n) >> 32);
            lane[j] = lane[j] * powers.mul[lanes - 1] + powers.add[lanes - 1];
        }
}

int firstUnseenPlain(const uint32_t* cells, int from, int count, const uint64_t* seen)
{
    for (int i = from; i < count; ++i)
        if ((seen[cells[i] >> 6] & (uint64_t(1) << (cells[i] & 63))) == 0)
            return i;
    return count;
}

void fillScalar(LuxDispatch& d)
{
    d.drawBlock = drawBlockPlain;
    d.firstUnseen = firstUnseenPlain;
}

void fillAvx2(LuxDispatch& d)
{
    d.drawBlock = pixeldraws::avx2::drawBlock;
    d.firstUnseen = pixeldraws::avx2::firstUnseen;
}

[[maybe_unused]] const bool filled = addDispatchFill({.scalar = fillScalar, .avx2 = fillAvx2});

// The frames being held, under one lock with every drawing thread's parked and done flags.
struct FrameHolds {
    std::mutex lock;
    std::condition_variable changed;
    int frames = 0;
    std::atomic<bool> held{false}; // frames > 0, read by the threads without the lock
};

// Never destroyed: a thread still drawing at exit is stopped through it by the order's destructor.
FrameHolds& frameHolds()
{
    static FrameHolds* holds = new FrameHolds;
    return *holds;
}

} // namespace

struct PixelOrder::Ahead {
    uint32_t n = 0;
    PixelOrder order;          // touched by a frame only while the thread is parked or done
    bool parked = false;       // under the holds' lock
    bool done = false;         // under the holds' lock
    std::atomic<bool> stop{false};
    std::thread thread;

    // Waits while frames hold (or until stopped), after telling them the order is theirs.
    void park()
    {
        FrameHolds& h = frameHolds();
        std::unique_lock<std::mutex> guard(h.lock);
        parked = true;
        h.changed.notify_all();
        h.changed.wait(guard, [&] { return h.frames == 0 || stop.load(std::memory_order_relaxed); });
        parked = false;
    }
};

PixelOrderFrameHold::PixelOrderFrameHold()
{
    FrameHolds& h = frameHolds();
    const std::lock_guard<std::mutex> guard(h.lock);
    h.held.store(++h.frames > 0, std::memory_order_relaxed);
}

PixelOrderFrameHold::~PixelOrderFrameHold()
{
    FrameHolds& h = frameHolds();
    {
        const std::lock_guard<std::mutex> guard(h.lock);
        h.held.store(--h.frames > 0, std::memory_order_relaxed);
    }
    h.changed.notify_all();
}

uint32_t PixelOrder::chosenAt(uint32_t n, int P)
{
    return uint32_t(std::min<int64_t>(RoundHalfEven(double(n) * P / 100), n));
}

void PixelOrder::reset(uint32_t n)
{
    m_n = n;
    m_seed = n;
    m_found = 0;
    m_step.assign(n, notReached);
    m_seen.assign((size_t(n) + 63) / 64, 0);
    for (int P = 0; P <= 100; ++P) {
        m_chosen[size_t(P)] = chosenAt(n, P);
        m_seedAt[size_t(P)] = n; // until the draw that completes P's cells is made
    }
    m_level = 0;
    while (m_level <= 100 && m_chosen[size_t(m_level)] == 0)
        ++m_level;
}

// Draws until k distinct cells have come up. The draws are made a block at a time (states and
// cells first, in independent lanes), then examined in order; the states kept are those of the
// draws that completed each progress's cells, so the result is as if drawn one by one.
// Everything the loop touches is a local copy, so the stores do not force reloads. On the
// thread (yieldingJob set) the state is written back between blocks whenever a frame holds,
// and read again after it: the frame may have drawn on meanwhile.
void PixelOrder::extend(uint32_t k, Ahead* yieldingJob)
{
    constexpr int block = 512;
    uint64_t* const seen = m_seen.data();
    uint8_t* const step = m_step.data();
    const uint64_t n = m_n;
    uint32_t found = m_found;
    uint32_t seed = m_seed;
    int level = m_level;
    // Cells found before this count get the step `level`.
    uint32_t nextCount = level <= 100 ? m_chosen[size_t(level)] : UINT32_MAX;
    uint32_t states[block];
    uint32_t cells[block];
    const auto drawBlock = luxDispatch().drawBlock;
    const auto firstUnseen = luxDispatch().firstUnseen;
    const FrameHolds& holds = frameHolds();
    while (found < k) {
        if (yieldingJob && (holds.held.load(std::memory_order_relaxed) ||
                            yieldingJob->stop.load(std::memory_order_relaxed))) {
            m_found = found;
            m_seed = seed;
            m_level = level;
            if (yieldingJob->stop.load(std::memory_order_relaxed))
                return;
            yieldingJob->park();
            found = m_found;
            seed = m_seed;
            level = m_level;
            nextCount = level <= 100 ? m_chosen[size_t(level)] : UINT32_MAX;
            continue;
        }
        drawBlock(seed, uint32_t(n), states, cells, block);
        seed = states[block - 1];
        // Once most cells are seen, most draws meet a seen cell: those are skipped (eight at a
        // time with AVX2). A seen cell's draw changes nothing, so skipping it keeps the result.
        const bool skipSeen = uint64_t(found) * 2 > n;
        for (int i = 0; i < block; ++i) {
            if (skipSeen && (i = firstUnseen(cells, i, block, seen)) == block)
                break;
            // No branch on whether the cell is new: early on that is a coin toss. A seen cell
            // keeps its step, which is at most the current level; a new one holds notReached.
            const uint32_t cell = cells[i];
            const uint64_t bit = uint64_t(1) << (cell & 63);
            const uint64_t word = seen[cell >> 6];
            seen[cell >> 6] = word | bit;
            step[cell] = std::min(step[cell], uint8_t(level));
            found += uint32_t((word & bit) == 0);
            if (found == nextCount) {
                // This draw completes the cells of every progress whose count it reaches.
                while (level <= 100 && m_chosen[size_t(level)] == found)
                    m_seedAt[size_t(level++)] = states[i];
                nextCount = level <= 100 ? m_chosen[size_t(level)] : UINT32_MAX;
            }
            if (found == k) {
                seed = states[i];
                break;
            }
        }
    }
    m_found = found;
    m_seed = seed;
    m_level = level;
}

PixelOrder::Chosen PixelOrder::chosen(int P) const
{
    return {m_step.data(), m_seedAt[size_t(P)]};
}

PixelOrder::~PixelOrder()
{
    stopAhead();
}

void PixelOrder::prepareAhead(uint32_t n)
{
    if (n == 0 || (n == m_n && m_found == n && m_step.size() == n) || (m_ahead && m_ahead->n == n))
        return;
    stopAhead();
    // The thread's order is laid out now, not in the first frame.
    auto job = std::make_unique<Ahead>();
    job->n = n;
    job->order.reset(n);
    Ahead* running = job.get();
    try {
        job->thread = std::thread([running] {
            running->order.extend(running->n, running);
            FrameHolds& h = frameHolds();
            {
                const std::lock_guard<std::mutex> guard(h.lock);
                running->done = true;
            }
            h.changed.notify_all();
        });
    } catch (const std::system_error&) {
        return; // no thread to be had: the frames draw the order themselves
    }
    m_ahead = std::move(job);
}

void PixelOrder::stopAhead()
{
    if (!m_ahead)
        return;
    FrameHolds& h = frameHolds();
    {
        const std::lock_guard<std::mutex> guard(h.lock);
        m_ahead->stop.store(true, std::memory_order_relaxed);
    }
    h.changed.notify_all();
    if (m_ahead->thread.joinable())
        m_ahead->thread.join();
    m_ahead.reset();
}

// The finished order of the thread replaces this one.
void PixelOrder::adoptAhead()
{
    m_ahead->thread.join();
    PixelOrder& done = m_ahead->order;
    m_n = done.m_n;
    m_seed = done.m_seed;
    m_found = done.m_found;
    m_level = done.m_level;
    m_chosen = done.m_chosen;
    m_seedAt = done.m_seedAt;
    m_step.swap(done.m_step);
    m_seen.swap(done.m_seen);
    m_ahead.reset();
}

PixelOrder::Chosen PixelOrder::choose(uint32_t n, int P)
{
    P = std::clamp(P, 0, 100);
    const uint32_t k = chosenAt(n, P);
    if (m_ahead && m_ahead->n == n) {
        // The thread stops at its next block while this frame holds (or runs to the end when
        // nothing holds); its order is then this frame's to read and to extend.
        Ahead& job = *m_ahead;
        FrameHolds& h = frameHolds();
        bool done = false;
        {
            std::unique_lock<std::mutex> guard(h.lock);
            h.changed.wait(guard, [&] { return job.parked || job.done; });
            done = job.done;
        }
        if (!done) {
            if (k > job.order.m_found)
                job.order.extend(k, nullptr);
            return job.order.chosen(P);
        }
        adoptAhead();
    }
    if (n != m_n || m_step.size() != n)
        reset(n);
    if (k > m_found)
        extend(k, nullptr);
    return chosen(P);
}

void PixelOrder::release()
{
    stopAhead();
    m_n = 0;
    m_seed = 0;
    m_found = 0;
    m_level = 0;
    std::vector<uint8_t>().swap(m_step);
    std::vector<uint64_t>().swap(m_seen);
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
