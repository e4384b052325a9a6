#include "effects/engine/manualeffects.h"

#include "platform/arith.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"

ManualPlacement manualPlacement(TluxRotation rotation, int width, int height, int P)
{
    switch (rotation) {
    case krRotate90: { // from the bottom
        const int d = MulDiv(height, P, 100);
        return {0, height - d, 0, -d};
    }
    case krRotate180: { // from the right
        const int d = MulDiv(width, P, 100);
        return {width - d, 0, -d, 0};
    }
    case krRotate270: { // from the top
        const int d = MulDiv(height, P, 100);
        return {0, d - height, 0, d};
    }
    case krNone:
        break;
    }
    const int d = MulDiv(width, P, 100); // from the left
    return {d - width, 0, d, 0};
}

namespace {

ManualPlacement placementFor(const TluxBitmap* Work, const TluxAnimationRec* Settings, int P)
{
    return manualPlacement(Settings ? Settings->Rotation : krNone, Work->Width, Work->Height, P);
}

void drawDest(TluxBitmap* Work, TluxBitmap* Dest, const ManualPlacement& at)
{
    Dest->AlphaBlend = true;
    Dest->Draw(Work, at.destX, at.destY);
}

} // namespace

void slideEffect(TluxBitmap* Work, TluxBitmap* Dest, TluxAnimationRec* Settings, uint8_t Progress)
{
    if (!Work || !Dest || Work->Empty() || Dest->Empty())
        return;
    drawDest(Work, Dest, placementFor(Work, Settings, Progress));
}

void pushEffect(TluxBitmap* Work, TluxBitmap* Dest, TluxAnimationRec* Settings, uint8_t Progress)
{
    if (!Work || !Dest || Work->Empty() || Dest->Empty())
        return;
    const ManualPlacement at = placementFor(Work, Settings, Progress);
    // The old picture moves as a plain copy, whatever Work's own drawing flags say.
    const bool blend = Work->AlphaBlend, transparent = Work->Transparent;
    Work->AlphaBlend = false;
    Work->Transparent = false;
    Work->Draw(Work, at.shiftX, at.shiftY);
    Work->AlphaBlend = blend;
    Work->Transparent = transparent;
    drawDest(Work, Dest, at);
}
