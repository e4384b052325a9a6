#pragma once
// The main() of a benchmark program of the effects subsystem: an offscreen GUI application,
// the effect registry and the raster slots as the subsystem's start-up fills them.

#include "effects/bitmap/rasterprimitives.h"
#include "effects/engine/builtineffects.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace luxbench {

// registerMore, when given, registers benchmarks that need the registry (it runs after it starts).
inline int runEffectsBenchmarks(int argc, char** argv, void (*registerMore)() = nullptr)
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
    ShutDownEffectRegistry();
    return 0;
}

} // namespace luxbench
