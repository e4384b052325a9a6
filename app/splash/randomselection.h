#pragma once
// Keeps the random effect selection of a window's transitions random.
//
// Some effects (the pixel family, "Stream") restart the shared generator on
// every frame so that each frame draws the same cells, and leave it in a state
// that depends only on the window's size. The next random selection would
// then always follow from that same state: a window shown again and again
// falls into a short cycle of the same few effects. The window's animation
// therefore puts the generator back, after each transition, where the
// selection alone left it, so that successive selections follow the
// generator's own sequence.

class TluxAnimation;

// Sets Animation's OnStart and OnFinish handlers to do so.
void KeepSelectionRandom(TluxAnimation* Animation);
