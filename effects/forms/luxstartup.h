#pragma once
// Start-up and shut-down of the transition effects as a whole. The program
// runs luxStartup() once the application object exists and before it creates
// any window: the splash window and the About box play their transitions with
// what it sets up.

#include "effects/forms/effectsstartup.h"

// The effects' start-up (luxStartEffects()), then the component classes that
// the windows' component streams name. Runs once per process: later calls,
// also after luxShutdown(), do nothing.
void luxStartup();

// Releases the same in reverse: component classes, then the effects
// (luxStopEffects()). Call it after the last window has gone; it runs once,
// and only while the effects run.
void luxShutdown();

// luxStartup() for the lifetime of one object: main() declares it before its
// windows so that shut-down follows their destruction.
class LuxSubsystem {
public:
    LuxSubsystem() { luxStartup(); }
    ~LuxSubsystem() { luxShutdown(); }
    LuxSubsystem(const LuxSubsystem&) = delete;
    LuxSubsystem& operator=(const LuxSubsystem&) = delete;
};
