#pragma once
// Every figure is reported as a ratio to memcpy of the same bytes, measured in
// the same run, because the machines here are noisy.

#include <benchmark/benchmark.h>

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

} // namespace luxbench
