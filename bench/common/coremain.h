#pragma once
// The main() of a benchmark program of the transfer core: an event loop without windows.

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace luxbench {

inline int runCoreBenchmarks(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace luxbench
