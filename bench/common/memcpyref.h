#pragma once
// Every figure is reported as a ratio to memcpy of the same bytes, measured in
// the same run, because the machines here are noisy.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace luxbench {

// Seconds one memcpy of `bytes` takes, the best of `repeats` runs.
inline double memcpySeconds(size_t bytes, int repeats = 30)
{
    std::vector<unsigned char> a(bytes, 1), b(bytes, 2);
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

// Adds a "x_memcpy" counter: the benchmark's time per iteration over memcpy's time for `bytes`.
inline void reportRatio(benchmark::State& state, double secondsPerIteration, size_t bytes)
{
    state.counters["x_memcpy"] = secondsPerIteration / memcpySeconds(bytes);
}

// Runs `body` once per iteration and reports the best iteration against memcpy of `bytes`.
template <typename Body>
void timeBest(benchmark::State& state, size_t bytes, Body body)
{
    double best = 1e30;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        body();
        benchmark::ClobberMemory();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    reportRatio(state, best, bytes);
}

} // namespace luxbench
