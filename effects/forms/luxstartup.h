#pragma once
// Start-up and shut-down of the transition effects as a whole. The program
// runs luxStartup() once the application object exists and before it creates
// any window: the splash window and the About box play their transitions with
// what it sets up.

// In this order: the platform helpers (the window system's optional features,
// the theme module), the drawing utilities (screen pixel format, MMX), the
// raster primitive slots, the animation engine's timer (disabled), the effect
// registry (the shared random generator seeded from the clock, the built-in
// effects, the list of effect names), the freeze list, the standard control
// grabbers, and then the component classes that the windows' component
// streams name. Runs once per process: later calls, also after luxShutdown(),
// do nothing.
void luxStartup();

// Releases the same in reverse: component classes, grabbers, freeze list (and any lock window
// still up), effect registry, engine timer, bitmap registry, platform helpers.
// Call it after the last window has gone; it runs once, and only after
// luxStartup().
void luxShutdown();

// Whether luxStartup() has run and luxShutdown() has not.
bool luxStarted();

// What a transition needs, started by the transition itself when the program
// did not run luxStartup(): runs it and shuts the effects down when the
// application object goes. True when the effects are running afterwards
// (false once luxShutdown() has run, after which nothing starts again).
bool luxStartOnFirstUse();

// luxStartup() for the lifetime of one object: main() declares it before its
// windows so that shut-down follows their destruction.
class LuxSubsystem {
public:
    LuxSubsystem() { luxStartup(); }
    ~LuxSubsystem() { luxShutdown(); }
    LuxSubsystem(const LuxSubsystem&) = delete;
    LuxSubsystem& operator=(const LuxSubsystem&) = delete;
};
