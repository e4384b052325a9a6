#pragma once
// A small fixed pool of worker threads that splits a frame's rows into bands.
//
// The engine starts the pool with itself and owns the tick: a frame step hands the pool a body
// for a range of rows, runs the first band on its own thread and returns when every band is
// done. Bands write disjoint rows, so the bytes do not depend on how many bands there are; with
// no pool (or one core) the body runs once over all rows.

#include <condition_variable>
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

    // Runs body(band, begin, end) over rows 0 .. rows - 1 cut into one band per thread (band 0
    // .. threads() - 1, rows begin .. end - 1), the caller's
    // included, and returns when all are done; a band's exception is passed on after every band
    // has ended. Not re-entrant: a body must not call run.
    void run(int rows, const std::function<void(int, int, int)>& body);
    int threads() const { return int(m_workers.size()) + 1; }

private:
    void work(int index);
    static void band(int rows, int count, int index, int& begin, int& end);

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<std::thread> m_workers;
    const std::function<void(int, int, int)>* m_body = nullptr;
    int m_rows = 0;
    unsigned m_generation = 0;
    int m_pending = 0;
    bool m_stop = false;
    std::exception_ptr m_failure;
};

// The process's pool, started with the animation engine: `threads` threads in all, the caller's
// included, or with 0 one per core, at most four. Does nothing while a pool runs.
void startRowBands(int threads = 0);
void stopRowBands();
// The pool's size in threads (1 when none is running).
int rowBandThreads();
// Runs body(band, begin, end) over rows 0 .. rows - 1 in bands on the running pool (band <
// rowBandThreads()), or once as band 0 over all rows when no pool runs, the frame is small, or
// the caller is already inside a band.
void runInRowBands(int rows, const std::function<void(int, int, int)>& body);
