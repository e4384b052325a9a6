#pragma once
// A small fixed pool of worker threads that splits a frame's rows into bands.
//
// The engine starts the pool with itself and owns the tick: a frame step hands the pool a body
// for a range of rows, takes bands on its own thread like the workers and returns when every
// band is done. Bands write disjoint rows, so the bytes do not depend on how many bands there
// are; with no pool (or one core) the body runs once over all rows.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class RowBandPool
{
public:
    // Starts `workers` threads besides the caller's.
    explicit RowBandPool(int workers);
    ~RowBandPool();
    RowBandPool(const RowBandPool&) = delete;
    RowBandPool& operator=(const RowBandPool&) = delete;

    // Runs body(thread, begin, end) over rows 0 .. rows - 1 cut into bands, a few per thread,
    // which the threads (the caller's included) take in turn; thread (0 .. threads() - 1) tells
    // the body whose scratch to use. Returns when every band is done; a band's exception is
    // passed on after that. Not re-entrant: a body must not call run.
    void run(int rows, const std::function<void(int, int, int)>& body);
    int threads() const { return int(m_workers.size()) + 1; }

private:
    static constexpr int bandsPerThread = 8;

    void work(int index);
    // The next band of this frame, or -1 when all are taken (or the frame is another one).
    int claim(uint32_t generation, int count);
    void runBand(const std::function<void(int, int, int)>& body, int thread, int rows, int count, int b);

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_workers;
    const std::function<void(int, int, int)>* m_body = nullptr;
    int m_rows = 0;
    int m_bands = 0;
    std::atomic<int> m_finished{0}; // bands done of this frame
    uint32_t m_generation = 0;
    std::atomic<uint64_t> m_claim{0}; // frame generation (high half), next band (low half)
    bool m_stop = false;
    std::exception_ptr m_failure;
};

// The process's pool, started with the animation engine: `threads` threads in all, the caller's
// included, or with 0 one per core, at most four. Does nothing while a pool runs.
void startRowBands(int threads = 0);
void stopRowBands();
// The pool's size in threads (1 when none is running).
int rowBandThreads();
// Runs body(thread, begin, end) over rows 0 .. rows - 1 in bands on the running pool (thread <
// rowBandThreads()), or once as thread 0 over all rows when no pool runs, the frame is small,
// or the caller is already inside a band.
void runInRowBands(int rows, const std::function<void(int, int, int)>& body);
