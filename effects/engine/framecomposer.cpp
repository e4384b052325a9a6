#include "effects/engine/framecomposer.h"

#include "effects/engine/builtineffects.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/engine/manualeffects.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/engine/stretchalpharect.h"
#include "effects/util/rowbands.h"

#include "platform/arith.h"

#include <algorithm>
#include <cstring>

namespace {

int resolutionOf(const TluxAnimationSlot& slot)
{
    return std::max(1, slot.settings->Resolution);
}

int tileCountOf(const TluxAnimationSlot& slot)
{
    return std::max(1, slot.settings->TileCount);
}

// Pixels of Dest in the key colour become fully transparent, in row bands.
void clearKeyAlpha(TluxBitmap* dest)
{
    const int width = dest->Width;
    runInRowBands(dest->Height, [&](int, int y0, int y1) {
        ClearAlphaFunc(dest->GetScanLine(y0), (y1 - y0) * width, luxTransparent);
    });
}

void composeFadeLike(TluxAnimationSlot& slot)
{
    luxcompose::stampDestAlpha(slot);
    slot.dest->AlphaBlend = true;
    slot.dest->Draw(slot.work.get(), 0, 0);
}

} // namespace

namespace luxcompose {

void buildFadeMask(TluxAnimationSlot& slot, int P)
{
    const int c = slot.columns, r = slot.rows;
    const size_t n = size_t(c) * size_t(r);
    const TluxFadeProc proc = slot.effect->fadeProc();
    const TluxRotation rotation = slot.settings->Rotation;
    uint8_t* mask = slot.mask.get();
    if (rotation == krNone || !slot.scratch) {
        std::memset(mask, 0, n);
        proc(mask, c, r, uint8_t(P));
        return;
    }
    uint8_t* scratch = slot.scratch.get();
    std::memset(scratch, 0, n);
    if (rotation == krRotate180) {
        proc(scratch, c, r, uint8_t(P));
        // Upside down and mirrored.
        for (int y = 0; y < r; ++y)
            for (int x = 0; x < c; ++x)
                mask[size_t(r - 1 - y) * c + (c - 1 - x)] = scratch[size_t(y) * c + x];
        return;
    }
    // The generator drew a grid of rows x columns (width rows, height columns).
    proc(scratch, r, c, uint8_t(P));
    for (int x = 0; x < c; ++x) {
        const uint8_t* column = scratch + size_t(x) * r;
        for (int y = 0; y < r; ++y) {
            if (rotation == krRotate90)
                mask[size_t(r - 1 - y) * c + x] = column[y];
            else
                mask[size_t(y) * c + (c - 1 - x)] = column[y];
        }
    }
}

bool planMaskRows(TluxAnimationSlot& slot, int P)
{
    const MaskRowsProc rows = slot.effect && slot.settings->Rotation == krNone ? maskRowsForm(slot.effect->Proc) : nullptr;
    slot.maskStale = rows && rows(slot.maskRows, slot.columns, slot.rows, uint8_t(P));
    slot.maskProgress = P;
    return slot.maskStale;
}

void buildBitmapMask(TluxAnimationSlot& slot, int P)
{
    const int c = slot.columns, r = slot.rows;
    const TluxRotation rotation = slot.settings->Rotation;
    const uint8_t* map = slot.scratch.get();
    uint8_t* mask = slot.mask.get();
    // Each cell passes from old to new over half the animation, bright cells first:
    // mask = clamp(m + MulDiv(510, P, 100) - 255, 0, 255), looked up per map value.
    const int shift = MulDiv(510, P, 100) - 255;
    uint8_t ramp[256];
    for (int m = 0; m < 256; ++m)
        ramp[m] = uint8_t(std::clamp(m + shift, 0, 255));
    if (rotation == krNone) {
        for (size_t k = 0, n = size_t(c) * size_t(r); k < n; ++k)
            mask[k] = ramp[map[k]];
        return;
    }
    for (int y = 0; y < r; ++y) {
        for (int x = 0; x < c; ++x) {
            size_t k = 0;
            switch (rotation) {
            case krRotate90: k = size_t(x) * r + y; break;
            case krRotate180: k = size_t(c - 1 - x) + size_t(r - 1 - y) * c; break;
            case krRotate270: k = size_t(r - 1 - y) + size_t(x) * r; break;
            case krNone: break;
            }
            mask[size_t(y) * c + x] = ramp[map[k]];
        }
    }
}

void stampDestAlpha(TluxAnimationSlot& slot)
{
    TluxBitmap* dest = slot.dest;
    const int R = resolutionOf(slot), T = tileCountOf(slot);
    const int tileWidth = R * slot.columns, tileHeight = R * slot.rows;
    for (int i = 0; i < T; ++i)
        for (int j = 0; j < T; ++j)
            StretchAlphaRect(dest->Bits, dest->Width, dest->Height, i * tileWidth, j * tileHeight, tileWidth,
                             tileHeight, 0, 0, slot.columns, slot.rows, slot.mask.get());
    clearKeyAlpha(dest);
    slot.destAlphaPending = false;
}

void composeManual(TluxAnimationSlot& slot, int P)
{
    clearKeyAlpha(slot.dest);
    slot.effect->manualProc()(slot.work.get(), slot.dest, slot.settings, uint8_t(P));
}

} // namespace luxcompose

void settleDestAlpha(TluxAnimationSlot& slot)
{
    if (slot.destAlphaPending && slot.maskStale && slot.mask)
        luxcompose::buildFadeMask(slot, slot.maskProgress);
    slot.maskStale = false;
    if (slot.destAlphaPending && slot.dest && slot.mask)
        luxcompose::stampDestAlpha(slot);
    slot.destAlphaPending = false;
}

void Compose(TluxAnimationSlot& slot, int P)
{
    settleDestAlpha(slot);
    if (IsBitmapAnimation(slot.settings)) {
        luxcompose::buildBitmapMask(slot, P);
        composeFadeLike(slot);
        return;
    }
    if (!slot.effect || !slot.effect->Proc)
        return;
    switch (slot.effect->Kind) {
    case pkFade:
        luxcompose::buildFadeMask(slot, P);
        composeFadeLike(slot);
        break;
    case pkSlide: luxcompose::composeSlide(slot, P); break;
    case pkManual: luxcompose::composeManual(slot, P); break;
    }
}

void copySourceToWork(TluxAnimationSlot& slot)
{
    TluxBitmap* work = slot.work.get();
    const int width = work->Width;
    const TluxColor* from = slot.source->Bits;
    runInRowBands(work->Height, [&](int, int y0, int y1) {
        const size_t start = size_t(y0) * size_t(width);
        MoveLongwordFunc(from + start, work->Bits + start, (y1 - y0) * width);
    });
}

namespace {

// "Push" moves the old picture before the new one is drawn: the work image takes Source
// already shifted, in the pass that copies it, instead of a copy and then a move of the whole
// frame onto itself. Pixels the shifted picture does not reach keep Source's own.
bool composePush(TluxAnimationSlot& slot, int P)
{
    TluxBitmap* work = slot.work.get();
    if (!slot.effect || slot.effect->Kind != pkManual || slot.effect->manualProc() != pushEffect || work->Empty()
        || slot.dest->Empty())
        return false;
    const ManualPlacement at = manualPlacement(slot.settings->Rotation, work->Width, work->Height, P);
    const int width = work->Width, height = work->Height;
    const int x0 = std::clamp(at.shiftX, 0, width), x1 = std::clamp(width + at.shiftX, 0, width);
    const TluxColor* source = slot.source->Bits;
    runInRowBands(height, [&](int, int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            TluxColor* out = work->GetScanLine(y);
            const TluxColor* own = source + size_t(y) * size_t(width);
            const int from = y - at.shiftY;
            if (from < 0 || from >= height || x0 >= x1) {
                MoveLongwordFunc(own, out, width);
                continue;
            }
            const TluxColor* moved = source + size_t(from) * size_t(width);
            MoveLongwordFunc(own, out, x0);
            MoveLongwordFunc(moved + (x0 - at.shiftX), out + x0, x1 - x0);
            MoveLongwordFunc(own + x1, out + x1, width - x1);
        }
    });
    clearKeyAlpha(slot.dest);
    slideEffect(work, slot.dest, slot.settings, uint8_t(P));
    return true;
}

} // namespace

void composeFrame(TluxAnimationSlot& slot, int P)
{
    const bool bitmapAnimation = IsBitmapAnimation(slot.settings);
    const bool fadeKind = !bitmapAnimation && slot.effect && slot.effect->Proc && slot.effect->Kind == pkFade;
    // Dest's alpha stays pending from one one-pass frame to the next; the separate passes
    // (Compose) settle it first.
    if ((bitmapAnimation || fadeKind) && luxcompose::onePassApplies(slot)) {
        if (bitmapAnimation)
            luxcompose::buildBitmapMask(slot, P);
        else if (!luxcompose::planMaskRows(slot, P))
            luxcompose::buildFadeMask(slot, P);
        luxcompose::onePassFade(slot, true, slot.maskStale ? &slot.maskRows : nullptr);
        return;
    }
    settleDestAlpha(slot);
    if (composePush(slot, P))
        return;
    if (!bitmapAnimation && slot.effect && slot.effect->Proc && slot.effect->Kind == pkSlide) {
        luxcompose::composeSlide(slot, P, true);
        return;
    }
    copySourceToWork(slot);
    Compose(slot, P);
}
