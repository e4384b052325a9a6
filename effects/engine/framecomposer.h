#pragma once
// Frame composition: puts the new picture (Dest) over the old one in a slot's work image
// according to the effect and the progress P (0..100).
//
// Four modes: the fade kind (the effect's mask stretched into Dest's alpha, Dest blended over
// the work image), the bitmap animation (the same with a mask taken from the settings' grey-
// level map), the slide kind (cells of Dest moved into place) and the manual kind (the effect
// draws). Every write stays inside the work image and inside Dest.

#include "effects/engine/animationslot.h"

// Composes the frame for progress P into the slot's work image, which already holds a copy of
// Source. Dest's alpha is left holding the stamped mask of this frame (fade kind, bitmap
// animation) or cleared at key-colour pixels (manual kind).
void Compose(TluxAnimationSlot& slot, int P);

// The frame the engine draws: Source copied onto the work image, then composed with P. The fade
// kind and the bitmap animation run as one pass over the pixels (copy, alpha stamp and blend per
// row) that gives the same bytes as Compose; Dest's alpha is then written by settleDestAlpha.
void composeFrame(TluxAnimationSlot& slot, int P);

// Writes the stamped alpha of the last one-pass frame into Dest, so that Dest ends up exactly
// as Compose leaves it. Does nothing when no such frame is pending.
void settleDestAlpha(TluxAnimationSlot& slot);

// Opaque copy of Source onto the work image at (0, 0); the two have the same size.
void copySourceToWork(TluxAnimationSlot& slot);

// The pieces, exposed for the tests and the benchmark.
namespace luxcompose {
// Fills the slot's mask for P: the fade kind's generator output turned by the rotation, or the
// bitmap animation's grey-level ramp.
void buildFadeMask(TluxAnimationSlot& slot, int P);
void buildBitmapMask(TluxAnimationSlot& slot, int P);
// Stamps the mask, tiled, into Dest's alpha and clears the alpha of key-colour pixels.
void stampDestAlpha(TluxAnimationSlot& slot);
// The slide kind; with copySource each band of rows first copies Source onto the work image, as
// copySourceToWork would.
void composeSlide(TluxAnimationSlot& slot, int P, bool copySource = false);
void composeManual(TluxAnimationSlot& slot, int P);
// True when the one-pass fade composition gives the same bytes as the slots the library
// installed (a caller who replaced a blend, clear-alpha or stretch slot gets the plain passes).
bool onePassAvailable();
// Whether the one-pass composition serves this slot: the library's slots are installed, Source
// is not Dest, and the tiles cover every pixel Dest is blended into.
bool onePassApplies(const TluxAnimationSlot& slot);
// The one-pass fade composition of an already built mask; false (nothing done) when it does not
// apply to this slot, and the caller must run the separate passes.
// With rows, each mask row is made by the plan just before it is blended; the slot's mask is
// not read.
bool onePassFade(TluxAnimationSlot& slot, bool copySource, const MaskRowPlan* rows = nullptr);
// Runs the effect's row form for P into the slot's plan when the effect has one and the mask is
// not turned; true when the plan stands for the mask of P (the mask buffer is then stale).
bool planMaskRows(TluxAnimationSlot& slot, int P);
} // namespace luxcompose
