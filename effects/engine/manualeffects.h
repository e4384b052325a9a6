#pragma once
// The manual procedures: the new picture slides in over the old one, or pushes it out.

#include "effects/engine/effecttypes.h"

struct TPoint;

// Where "Slide" and "Push" put the pictures on a Work of width x height at progress P.
struct ManualPlacement {
    int destX; // where Dest is drawn onto Work
    int destY;
    int shiftX; // how far "Push" moves the old picture first
    int shiftY;
};
ManualPlacement manualPlacement(TluxRotation rotation, int width, int height, int P);

// "Slide": Dest drawn onto Work at its placement, blended by Dest's alpha.
void slideEffect(TluxBitmap* Work, TluxBitmap* Dest, TluxAnimationRec* Settings, uint8_t Progress);
// "Push": Work shifted by the placement's shift, then Dest drawn as for "Slide".
void pushEffect(TluxBitmap* Work, TluxBitmap* Dest, TluxAnimationRec* Settings, uint8_t Progress);
