#pragma once
// Every figure is reported as a ratio to memcpy of the same bytes, measured in the same run,
// because the machines here are noisy. A figure is the median of several repetitions with the
// least and the greatest beside it; each repetition times memcpy right after the work it is
// compared with, so that a change of the machine's load meets both.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace luxbench {

// Repetitions behind every ratio (at least five).
constexpr int kRepetitions = 7;

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

// The median time of `runs` runs of body.
template <typename Body>
double medianSeconds(int runs, Body&& body)
{
    std::vector<double> s;
    for (int i = 0; i < runs; ++i)
        s.push_back(secondsOf(body));
    return spreadOf(std::move(s)).median;
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
    // The median of `copies` copies.
    double seconds(int copies = 3)
    {
        return medianSeconds(copies, [&] {
            std::memcpy(m_to.data(), m_from.data(), m_from.size());
            benchmark::DoNotOptimize(m_to.data());
        });
    }

private:
    std::vector<unsigned char> m_from, m_to;
};

// Seconds one memcpy of `bytes` takes: the median of `repeats` copies.
inline double memcpySeconds(size_t bytes, int repeats = 9)
{
    MemcpyReference copy(bytes);
    return copy.seconds(repeats);
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

// kRepetitions repetitions, each the median of `perRepetition` runs of body followed by the
// median of three copies of the reference; the ratio of each repetition is kept.
template <typename Body>
Ratio repeatAgainst(MemcpyReference& reference, Body&& body, int perRepetition = 3,
                    int repetitions = kRepetitions)
{
    std::vector<double> x, ms;
    for (int r = 0; r < repetitions; ++r) {
        const double work = medianSeconds(perRepetition, body);
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
