#include "effects/forms/luxstartup.h"

#include "effects/forms/componentclasses.h"

namespace {
// The classes are registered by the first luxStartup() that finds the effects
// running, also when a transition started the effects before it, and released
// whenever the effects stop.
bool classesRegistered = false;
} // namespace

void luxStartup()
{
    if (classesRegistered || !luxStartEffects())
        return;
    classesRegistered = true;
    RegisterLuxComponentClasses();
    luxBeforeStopEffects(UnregisterLuxComponentClasses);
}

void luxShutdown()
{
    luxStopEffects();
}
