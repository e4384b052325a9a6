#pragma once
// One animation slot: a running transition from Source to Dest, its mask grid and its frame.

#include "effects/engine/effecttypes.h"
#include "effects/bitmap/luxcolor.h"
#include "effects/masks/maskrows.h"

#include <cstdint>
#include <memory>
#include <vector>

class TCanvas;
class TluxAnimationRec;
class TluxBitmap;
struct TluxProcItem;

struct TluxAnimationSlot {
    int columns = 0;    // mask grid width: Source width div Resolution div TileCount + 1
    int rows = 0;       // mask grid height, likewise
    int bufferSize = 0; // bytes held by mask, scratch and cells together
    std::unique_ptr<uint8_t[]> mask;     // columns x rows (fade kind, bitmap animation)
    std::unique_ptr<uint8_t[]> scratch;  // generator output before rotation; the grey-level map
    std::unique_ptr<TluxCell[]> cells;   // columns x rows cell records (slide kind)
    bool active = false;
    bool busy = false;
    bool reserved = false;
    float clock = 0; // milliseconds of animation time so far
    TluxAnimationRec* settings = nullptr; // not owned
    TluxBitmap* dest = nullptr;           // not owned; its alpha is the composition's scratch space
    TluxBitmap* source = nullptr;         // not owned, never modified
    std::unique_ptr<TluxBitmap> work;     // the frame, same size as Source
    TluxProcItem* effect = nullptr;       // null for the bitmap animation
    TCanvas* canvas = nullptr;            // not owned
    int x = 0;
    int y = 0;

    // The one-pass fade composition keeps Dest's alpha as it was and writes the stamped alpha
    // only when the animation ends (or another composition needs it): these say so and hold
    // its rows.
    bool destAlphaPending = false;
    std::vector<TluxColor> rowBuffer; // one row of Dest with its alpha stamped
    std::vector<int> columnMap;       // mask column of each frame column

    // A fade effect whose mask can be made a row at a time leaves the mask buffer as it was:
    // the plan makes the rows inside the one-pass composition, and the mask of maskProgress is
    // built only when Dest's alpha is settled.
    MaskRowPlan maskRows;
    bool maskStale = false;
    int maskProgress = 0;
    std::vector<uint8_t> maskRowBuffer; // one mask row per row-band thread
};

// Whether the settings ask for the bitmap animation (exact, case-sensitive name).
bool IsBitmapAnimation(const TluxAnimationRec* Settings);

// Starting an animation in a slot, without the engine: stores Source, Dest and Settings, resolves
// the effect, creates the work image (Source's size), sizes the grid and allocates the buffers
// the effect's kind needs (for the bitmap animation it builds the grey-level map). Returns false,
// leaving the slot without work image and buffers, when Source or Dest is missing or empty,
// Settings is missing, or the effect is unknown or has no procedure.
bool prepareAnimationSlot(TluxAnimationSlot& slot, TluxBitmap* Source, TluxBitmap* Dest,
                          TluxAnimationRec* Settings);
// Frees the buffers and the work image (Source, Dest and Settings stay recorded).
void releaseAnimationSlot(TluxAnimationSlot& slot);
