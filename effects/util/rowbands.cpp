#include "effects/util/rowbands.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>
#include <utility>

namespace {
// Set on the pool's threads and on a caller running its bands: a body that asks for bands
// again runs them itself.
thread_local bool insideBand = false;

// How long a thread that waits for the pool looks before it sleeps. A frame hands the pool
// several bodies in a row (the composition, the mask's rows, the drawing) and each band ends
// within microseconds of the others, while a sleeping thread on a virtual machine takes tens of
// microseconds to wake; looking this long costs little where nothing comes.
constexpr auto lookBeforeSleeping = std::chrono::microseconds(100);

// Calls done() until it holds or the look has lasted lookBeforeSleeping; its last answer.
template <typename Done>
bool lookFor(Done&& done)
{
    const auto until = std::chrono::steady_clock::now() + lookBeforeSleeping;
    for (;;) {
        for (int i = 0; i < 64; ++i)
            if (done())
                return true;
        if (std::chrono::steady_clock::now() >= until)
            return done();
        std::this_thread::yield();
    }
}
} // namespace

RowBandPool::RowBandPool(int workers)
{
    for (int i = 0; i < workers; ++i)
        m_workers.emplace_back([this, i] { work(i + 1); });
}

RowBandPool::~RowBandPool()
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_workers)
        t.join();
}

void RowBandPool::run(int rows, const std::function<void(int, int, int)>& body)
{
    // More bands than threads: a thread that gets no processor time leaves its share to the
    // others, who take the bands it has not started.
    const int count = threads() * bandsPerThread;
    uint32_t generation = 0;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_body = &body;
        m_rows = rows;
        m_bands = count;
        m_finished.store(0, std::memory_order_relaxed);
        generation = ++m_generation;
        m_claim.store(uint64_t(generation) << 32);
    }
    m_wake.notify_all();
    for (int b; (b = claim(generation, count)) >= 0;)
        runBand(body, 0, rows, count, b);
    // Bands taken by others still read the body: wait for them before anything leaves.
    const auto allDone = [this, count] { return m_finished.load(std::memory_order_acquire) == count; };
    lookFor(allDone);
    std::unique_lock<std::mutex> hold(m_lock);
    m_done.wait(hold, allDone);
    m_body = nullptr;
    const std::exception_ptr failure = std::exchange(m_failure, nullptr);
    if (failure)
        std::rethrow_exception(failure);
}

int RowBandPool::claim(uint32_t generation, int count)
{
    uint64_t seen = m_claim.load();
    for (;;) {
        const auto next = int(uint32_t(seen));
        if (uint32_t(seen >> 32) != generation || next >= count)
            return -1;
        if (m_claim.compare_exchange_weak(seen, seen + 1))
            return next;
    }
}

void RowBandPool::runBand(const std::function<void(int, int, int)>& body, int thread, int rows, int count, int b)
{
    const int begin = int(int64_t(rows) * b / count), end = int(int64_t(rows) * (b + 1) / count);
    std::exception_ptr failure;
    if (begin < end) {
        try {
            body(thread, begin, end);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (!m_failure)
            m_failure = failure;
    }
    // The last band tells a caller that sleeps; the lock keeps the telling from falling between
    // the caller's look at the count and its sleep.
    if (m_finished.fetch_add(1, std::memory_order_acq_rel) + 1 == count) {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_done.notify_one();
    }
}

void RowBandPool::work(int index)
{
    insideBand = true;
    uint32_t seen = 0;
    for (;;) {
        const std::function<void(int, int, int)>* body = nullptr;
        int rows = 0, count = 0;
        // The next body usually follows within the frame: look for it before sleeping.
        lookFor([this, seen] { return uint32_t(m_claim.load(std::memory_order_acquire) >> 32) != seen; });
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_wake.wait(hold, [&] { return m_stop || m_generation != seen; });
            if (m_stop)
                return;
            seen = m_generation;
            body = m_body;
            rows = m_rows;
            count = m_bands;
        }
        // Late for a frame that has ended: nothing left to claim, and the body is not touched.
        for (int b; (b = claim(seen, count)) >= 0;)
            runBand(*body, index, rows, count, b);
    }
}

namespace {

std::unique_ptr<RowBandPool> pool;

// Below this many rows a band's hand-over costs more than it saves.
constexpr int minimumRows = 64;

// The pool serves one caller at a time: a thread that asks while another's rows are in the
// pool (a picture drawn on a worker thread during a frame) runs its own rows itself.
std::atomic<bool> poolTaken{false};

} // namespace

void startRowBands(int threads)
{
    if (pool)
        return;
    if (threads <= 0)
        threads = std::min(int(std::max(1u, std::thread::hardware_concurrency())), 4);
    if (threads > 1)
        pool = std::make_unique<RowBandPool>(threads - 1);
}

void stopRowBands()
{
    pool.reset();
}

int rowBandThreads()
{
    return pool ? pool->threads() : 1;
}

void runInRowBands(int rows, const std::function<void(int, int, int)>& body)
{
    if (!pool || insideBand || rows < minimumRows || poolTaken.exchange(true, std::memory_order_acquire)) {
        body(0, 0, rows);
        return;
    }
    insideBand = true;
    try {
        pool->run(rows, body);
    } catch (...) {
        insideBand = false;
        poolTaken.store(false, std::memory_order_release);
        throw;
    }
    insideBand = false;
    poolTaken.store(false, std::memory_order_release);
}
