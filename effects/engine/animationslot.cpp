#include "effects/engine/animationslot.h"
#include "effects/engine/builtineffects.h"

#include "effects/engine/effectregistry.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"

#include "platform/canvas.h"

#include <algorithm>

namespace {

bool hasArea(const TluxBitmap* b)
{
    return b && !b->Empty() && b->Width > 0 && b->Height > 0;
}

// The settings' Bitmap stretched over a grid of cells (turned for a quarter rotation); the blue
// byte of each pixel, in memory order, goes into both the mask and the scratch buffer.
void buildGreyLevelMap(TluxAnimationSlot& slot)
{
    const int c = slot.columns, r = slot.rows;
    const TluxRotation rotation = slot.settings->Rotation;
    const bool turned = rotation == krRotate90 || rotation == krRotate270;
    const int w = turned ? r : c, h = turned ? c : r;
    // A new picture starts white, as the framework's bitmaps do.
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        DeviceContext dc(&picture);
        TCanvas canvas(&dc);
        canvas.StretchDraw(TRect(0, 0, w, h), slot.settings->Bitmap);
    }
    TluxBitmap map;
    map.Assign(picture);
    const size_t n = size_t(c) * size_t(r);
    for (size_t k = 0; k < n; ++k) {
        const uint8_t blue = uint8_t(map.Bits[k]);
        slot.mask[k] = blue;
        slot.scratch[k] = blue;
    }
}

} // namespace

void releaseAnimationSlot(TluxAnimationSlot& slot)
{
    slot.mask.reset();
    slot.scratch.reset();
    slot.cells.reset();
    slot.work.reset();
    slot.bufferSize = 0;
    slot.destAlphaPending = false;
    slot.maskStale = false;
    slot.rowBuffer = {};
    slot.columnMap = {};
}

bool IsBitmapAnimation(const TluxAnimationRec* Settings)
{
    return Settings && Settings->Effect == QLatin1String(luxBitmapEffectName);
}

bool prepareAnimationSlot(TluxAnimationSlot& slot, TluxBitmap* Source, TluxBitmap* Dest,
                          TluxAnimationRec* Settings)
{
    releaseAnimationSlot(slot);
    slot.source = Source;
    slot.dest = Dest;
    slot.settings = Settings;
    slot.effect = nullptr;
    if (!hasArea(Source) || !hasArea(Dest) || !Settings)
        return false;

    const bool bitmapAnimation = IsBitmapAnimation(Settings);
    slot.effect = ResolveEffect(Settings->Effect);
    if (!bitmapAnimation && (!slot.effect || !slot.effect->Proc))
        return false;

    try {
        slot.work = std::make_unique<TluxBitmap>();
        slot.work->SetSize(Source->Width, Source->Height);
        // The first frame would otherwise meet the fresh memory's page faults: the frame starts
        // from Source anyway.
        MoveLongwordFunc(Source->Bits, slot.work->Bits, Source->Width * Source->Height);

        // Settings copied by Assign are not range-checked: a cell is at least one pixel and
        // there is at least one tile.
        const int R = std::max(1, Settings->Resolution), T = std::max(1, Settings->TileCount);
        slot.columns = Source->Width / R / T + 1;
        slot.rows = Source->Height / R / T + 1;
        const size_t n = size_t(slot.columns) * size_t(slot.rows);

        bool fadeLike = bitmapAnimation;
        if (bitmapAnimation || slot.effect->Kind == pkFade) {
            fadeLike = true;
            // The scratch is kept also without rotation, so that a rotation set while the
            // animation runs is honoured instead of writing through a missing buffer. It is
            // cleared or filled wholly before each use, so it is not touched now: without a
            // rotation its pages are never faulted in. The mask is, so that the first frame
            // does not meet its page faults.
            slot.mask = std::make_unique<uint8_t[]>(n);
            slot.scratch = std::make_unique_for_overwrite<uint8_t[]>(n);
            slot.bufferSize = int(2 * n);
        } else if (slot.effect->Kind == pkSlide) {
            // Cleared before each frame that uses it (12 MB at 1920 x 1080): not touched now.
            slot.cells = std::make_unique_for_overwrite<TluxCell[]>(n);
            slot.bufferSize = int(n * sizeof(TluxCell));
        }
        if (fadeLike) {
            slot.rowBuffer.resize(size_t(Source->Width));
            slot.columnMap.resize(size_t(Source->Width));
        }
        if (bitmapAnimation)
            buildGreyLevelMap(slot);
        else if (const BuiltinEffect* builtin = builtinEffectFor(slot.effect->Proc);
                 builtin && builtin->PrepareForGrid) {
            // The generator draws a grid of rows x columns under a quarter turn.
            const bool turned = Settings->Rotation == krRotate90 || Settings->Rotation == krRotate270;
            builtin->PrepareForGrid(turned ? slot.rows : slot.columns, turned ? slot.columns : slot.rows);
        }
    } catch (...) {
        releaseAnimationSlot(slot);
        throw;
    }
    return true;
}
