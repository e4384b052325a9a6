#pragma once
// The main() of a benchmark program of the effects subsystem: an offscreen GUI application,
// the effect registry and the raster slots as the subsystem's start-up fills them.

#include "bench/common/summary.h"
#include "effects/bitmap/rasterprimitives.h"
#include "effects/engine/builtineffects.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace luxbench {

// registerMore, when given, registers benchmarks that need the registry (it runs after it
// starts); summarize, when given, adds the run's figures to the summary printed at the end.
inline int runEffectsBenchmarks(int argc, char** argv, void (*registerMore)() = nullptr,
                                void (*summarize)() = nullptr, const char* title = "")
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    StartEffectRegistry();
    initRasterPrimitives();
    if (registerMore)
        registerMore();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (summarize)
        summarize();
    summary().print(title);
    ShutDownEffectRegistry();
    return 0;
}

} // namespace luxbench
