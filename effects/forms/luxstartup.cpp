#include "effects/forms/luxstartup.h"

#include "effects/engine/animationengine.h"
#include "effects/forms/componentclasses.h"
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
} // namespace

void luxStartup()
{
    if (phase != Phase::NotStarted)
        return;
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
    // The classes the windows' component streams name.
    RegisterLuxComponentClasses();
}

void luxShutdown()
{
    if (phase != Phase::Started)
        return;
    phase = Phase::Stopped;
    UnregisterLuxComponentClasses();
    FreeGrabberRegistry();
    stopControlFreezing();
    ShutDownEffectRegistry();
    ShutDownAnimationEngine();
    freeBitmapRegistry();
    stopPlatformHelpers();
}

bool luxStarted()
{
    return phase == Phase::Started;
}

bool luxStartOnFirstUse()
{
    if (phase == Phase::NotStarted) {
        luxStartup();
        // Windows still open then can no longer play a transition, so the
        // effects stay until the application object itself goes.
        qAddPostRoutine(luxShutdown);
    }
    return phase == Phase::Started;
}
