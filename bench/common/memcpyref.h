#pragma once
// Every figure is reported as a ratio to memcpy of the same bytes, measured in the same run,
// because the machines here are noisy. A figure is the median of several repetitions with the
// least and the greatest beside it; each repetition times memcpy right after the work it is
// compared with, so that a change of the machine's load meets both. A repetition times a batch
// of runs long enough to take in the pool's wake-ups and the machine's short stalls, after one
// untimed run that leaves the caches as the work itself leaves them from one frame to the next.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace luxbench {

// Repetitions behind every ratio (at least five).
constexpr int kRepetitions = 7;
// A timed batch lasts at least this long and holds at least kBatchRuns runs.
constexpr double kBatchSeconds = 0.02;
constexpr int kBatchRuns = 5;

struct Spread {
    double median = 0, min = 0, max = 0;
};

inline Spread spreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

template <typename Body>
double secondsOf(Body&& body)
{
    const auto t0 = std::chrono::steady_clock::now();
    body();
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// One run's time over a batch: one untimed run, then runs until at least `minRuns` of them
// have taken at least `minSeconds` together; the median run. The machine's stalls (another
// process taking the core, the pool's thread waking late) only ever lengthen a run, so the
// median of many keeps them out where a mean would spread them over the batch.
template <typename Body>
double batchSeconds(Body&& body, double minSeconds = kBatchSeconds, int minRuns = kBatchRuns)
{
    body();
    benchmark::ClobberMemory();
    std::vector<double> runs;
    double elapsed = 0;
    do {
        runs.push_back(secondsOf(body));
        elapsed += runs.back();
    } while (int(runs.size()) < minRuns || elapsed < minSeconds);
    return spreadOf(std::move(runs)).median;
}

// Two buffers of `bytes` copied one onto the other. They are kept and touched once, so the
// copies timed later meet no page faults.
class MemcpyReference
{
public:
    explicit MemcpyReference(size_t bytes)
        : m_from(bytes, 1)
        , m_to(bytes, 2)
    {
    }
    // One copy's time, over a batch (half as long as the work's: the copy varies less).
    double seconds()
    {
        return batchSeconds(
            [&] {
                std::memcpy(m_to.data(), m_from.data(), m_from.size());
                benchmark::DoNotOptimize(m_to.data());
            },
            kBatchSeconds / 2);
    }

private:
    std::vector<unsigned char> m_from, m_to;
};

// Seconds one memcpy of `bytes` takes, over a batch.
inline double memcpySeconds(size_t bytes)
{
    MemcpyReference copy(bytes);
    return copy.seconds();
}

// Adds a "x_memcpy" counter: the benchmark's time per iteration over memcpy's time for `bytes`.
inline void reportRatio(benchmark::State& state, double secondsPerIteration, size_t bytes)
{
    state.counters["x_memcpy"] = secondsPerIteration / memcpySeconds(bytes);
}

// A ratio to memcpy over repetitions, and the work's own time in milliseconds.
struct Ratio {
    Spread x, ms;
};

// kRepetitions repetitions, each a batch of body followed by a batch of the reference; the
// ratio of each repetition is kept.
template <typename Body>
Ratio repeatAgainst(MemcpyReference& reference, Body&& body, int repetitions = kRepetitions)
{
    std::vector<double> x, ms;
    for (int r = 0; r < repetitions; ++r) {
        const double work = batchSeconds(body);
        const double copy = reference.seconds();
        x.push_back(work / copy);
        ms.push_back(work * 1e3);
    }
    return {spreadOf(std::move(x)), spreadOf(std::move(ms))};
}

// Counters "x_memcpy" (median), "x_min", "x_max" and "ms" (median).
inline void setRatioCounters(benchmark::State& state, const Ratio& r)
{
    state.counters["x_memcpy"] = r.x.median;
    state.counters["x_min"] = r.x.min;
    state.counters["x_max"] = r.x.max;
    state.counters["ms"] = r.ms.median;
}

// Runs the repetitions once (a single benchmark iteration) and sets the counters.
template <typename Body>
Ratio timeRepeated(benchmark::State& state, size_t bytes, Body&& body)
{
    MemcpyReference reference(bytes);
    Ratio r;
    for (auto _ : state)
        r = repeatAgainst(reference, body);
    setRatioCounters(state, r);
    return r;
}

} // namespace luxbench
