#pragma once
// The transition effects' own start-up: everything a transition needs to play,
// without the component classes that windows' component streams name (those
// come with luxStartup()). A component that plays a transition starts this on
// first use, so it never has to name the classes that contain it.

// In this order: the platform helpers (the window system's optional features,
// the theme module), the drawing utilities (screen pixel format), the raster
// primitive slots, the animation engine's timer (disabled), the effect
// registry (the shared random generator seeded from the clock, the built-in
// effects, the list of effect names), the freeze list and the standard control
// grabbers. Runs once per process; true when the effects are running
// afterwards (false once they have been stopped: nothing starts again).
bool luxStartEffects();

// Releases the same in reverse: grabbers, freeze list (and any lock window
// still up), effect registry, engine timer, bitmap registry, platform helpers.
// Only after luxStartEffects(), and once. The routine given to
// luxBeforeStopEffects() runs first.
void luxStopEffects();

// What luxStopEffects() runs before anything else: the layer above the effects
// (the component classes) releases what it registered on top of them, also
// when the effects stop with the application object.
void luxBeforeStopEffects(void (*routine)());

// Whether the effects have started and not been stopped.
bool luxStarted();

// What a transition needs, started by the transition itself when the program
// did not run luxStartup(): starts the effects and stops them when the
// application object goes. True when the effects are running afterwards
// (false once they have been shut down, after which nothing starts again).
bool luxStartOnFirstUse();
