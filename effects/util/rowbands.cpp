#include "effects/util/rowbands.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

namespace {
// Set on the pool's threads and on a caller running its bands: a body that asks for bands
// again runs them itself.
thread_local bool insideBand = false;
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

void RowBandPool::band(int rows, int count, int index, int& begin, int& end)
{
    begin = int(int64_t(rows) * index / count);
    end = int(int64_t(rows) * (index + 1) / count);
}

void RowBandPool::run(int rows, const std::function<void(int, int, int)>& body)
{
    const int count = threads();
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_body = &body;
        m_rows = rows;
        m_pending = count - 1;
        ++m_generation;
    }
    m_wake.notify_all();
    int begin = 0, end = 0;
    band(rows, count, 0, begin, end);
    std::exception_ptr failure;
    try {
        body(0, begin, end);
    } catch (...) {
        failure = std::current_exception();
    }
    // The other bands still read the body: wait for them before anything leaves.
    std::unique_lock<std::mutex> hold(m_lock);
    m_done.wait(hold, [this] { return m_pending == 0; });
    m_body = nullptr;
    if (!failure)
        failure = std::exchange(m_failure, nullptr);
    m_failure = nullptr;
    if (failure)
        std::rethrow_exception(failure);
}

void RowBandPool::work(int index)
{
    insideBand = true;
    unsigned seen = 0;
    for (;;) {
        const std::function<void(int, int, int)>* body = nullptr;
        int rows = 0;
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_wake.wait(hold, [&] { return m_stop || m_generation != seen; });
            if (m_stop)
                return;
            seen = m_generation;
            body = m_body;
            rows = m_rows;
        }
        int begin = 0, end = 0;
        band(rows, threads(), index, begin, end);
        std::exception_ptr failure;
        if (begin < end) {
            try {
                (*body)(index, begin, end);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            if (failure && !m_failure)
                m_failure = failure;
            --m_pending;
        }
        m_done.notify_one();
    }
}

namespace {

std::unique_ptr<RowBandPool> pool;

// Below this many rows a band's hand-over costs more than it saves.
constexpr int minimumRows = 64;

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
    if (!pool || insideBand || rows < minimumRows) {
        body(0, 0, rows);
        return;
    }
    insideBand = true;
    try {
        pool->run(rows, body);
    } catch (...) {
        insideBand = false;
        throw;
    }
    insideBand = false;
}
