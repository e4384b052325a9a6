#pragma once
// The component classes of the transition effects that a form's component
// stream may name.

// Start-up step: registers TluxAnimationRec, TluxAnimation, TluxAnimationList,
// TluxAnimationForm and TluxImageList with the component class registry.
void RegisterLuxComponentClasses();
// Shut-down step: empties the component class registry.
void UnregisterLuxComponentClasses();
