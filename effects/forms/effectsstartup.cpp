#include "effects/forms/effectsstartup.h"

#include "effects/engine/animationengine.h"
#include "effects/forms/controlfreezer.h"
#include "effects/util/drawingutilities.h"
#include "effects/engine/builtineffects.h"
#include "effects/forms/grabberregistry.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/util/platformhelpers.h"
#include "effects/bitmap/rasterprimitives.h"

#include <QCoreApplication>

namespace {
// Once per process: the platform helpers cannot be started again once stopped.
enum class Phase { NotStarted, Started, Stopped };
Phase phase = Phase::NotStarted;
void (*beforeStop)() = nullptr;
} // namespace

bool luxStartEffects()
{
    if (phase != Phase::NotStarted)
        return phase == Phase::Started;
    phase = Phase::Started;
    startPlatformHelpers();
    startDrawingUtilities();
    initRasterPrimitives();
    // The registry seeds the random generator, registers the 58 built-in
    // effects and builds the name list in one step; the engine's timer
    // exists before any of them can be played.
    StartAnimationEngine();
    StartEffectRegistry();
    startControlFreezing();
    RegisterStandardGrabbers();
    return true;
}

void luxStopEffects()
{
    if (phase != Phase::Started)
        return;
    phase = Phase::Stopped;
    if (beforeStop)
        beforeStop();
    FreeGrabberRegistry();
    stopControlFreezing();
    ShutDownEffectRegistry();
    ShutDownAnimationEngine();
    freeBitmapRegistry();
    stopPlatformHelpers();
}

void luxBeforeStopEffects(void (*routine)())
{
    beforeStop = routine;
}

bool luxStarted()
{
    return phase == Phase::Started;
}

bool luxStartOnFirstUse()
{
    if (phase == Phase::NotStarted) {
        luxStartEffects();
        // Windows still open then can no longer play a transition, so the
        // effects stay until the application object itself goes.
        qAddPostRoutine(luxStopEffects);
    }
    return phase == Phase::Started;
}
