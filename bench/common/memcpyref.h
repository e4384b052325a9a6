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

// memcpy of one frame from memory to memory, the yardstick between repetitions. Its pairs of
// buffers take turns and together exceed the last-level caches of the machines here, so every
// timed copy finds its bytes in memory rather than in cache, as a frame's pictures mostly are:
// a pair copied again at once would sit in a large cache on one machine and not on another, or
// not when a neighbour fills the cache, and the yardstick would halve or double with it. The
// buffers are touched once, so the copies timed later meet no page faults.
class MemcpyReference
{
public:
    explicit MemcpyReference(size_t bytes)
    {
        const size_t pairs = std::clamp<size_t>(kBeyondCaches / std::max<size_t>(2 * bytes, 1) + 1, 2, 64);
        for (size_t i = 0; i < pairs; ++i)
            m_pairs.push_back({std::vector<unsigned char>(bytes, 1), std::vector<unsigned char>(bytes, 2)});
    }
    // One copy's time: the median of a batch (half as long as the work's: the copy varies less).
    double seconds()
    {
        return batchSeconds(
            [&] {
                Pair& p = m_pairs[m_next++ % m_pairs.size()];
                std::memcpy(p.to.data(), p.from.data(), p.from.size());
                benchmark::DoNotOptimize(p.to.data());
            },
            kBatchSeconds / 2);
    }

private:
    static constexpr size_t kBeyondCaches = size_t(128) << 20;
    struct Pair {
        std::vector<unsigned char> from, to;
    };
    std::vector<Pair> m_pairs;
    size_t m_next = 0;
};

// Seconds one memcpy of `bytes` takes, copied again and again between the same two buffers: the
// median of `repeats` copies.
inline double memcpySeconds(size_t bytes, int repeats = 9)
{
    std::vector<unsigned char> from(bytes, 1), to(bytes, 2);
    std::vector<double> s;
    for (int i = 0; i < repeats; ++i)
        s.push_back(secondsOf([&] {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
        }));
    return spreadOf(std::move(s)).median;
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
