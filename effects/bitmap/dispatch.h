#pragma once
// The dispatch table: every routine of the effects libraries that has a variant per instruction
// set, chosen once. The scalar level fills every entry; SSE2 and then AVX2 fill only the entries
// they speed up. A level runs where the processor has it (the one probe, ProcessorFeatures) and
// the environment does not switch it off: LUX_DISABLE=avx2 or LUX_DISABLE=avx2,sse2 (any order,
// case ignored) keeps the whole program at a lower level. Nothing outside this table looks at the
// processor or at the level: code calls the entries, or the raster slots filled from them.
//
// The bitmap library fills the raster routines. The libraries above it fill the entries of
// their own passes (addDispatchFill), so that the table stays one object below all of them.

#include "effects/bitmap/gatherblocks.h"
#include "effects/bitmap/rasterprimitives.h"
#include "effects/bitmap/stampedrows.h"

#include <cstddef>
#include <cstdint>

struct TluxCell; // the slide cell record (effects/masks/cellrecord.h)

struct LuxDispatch {
    SimdLevel level = SimdLevel::Scalar; // the widest level that filled entries
    BlendKind blend = BlendKind::Plain;  // packed where the processor has MMX

    // What the 22 raster slots receive (initRasterPrimitives): both blends, so that a slot can
    // take either kind.
    PixelAlphaBlendProc pixelBlendPacked = nullptr;
    PixelAlphaBlendProc pixelBlendPlain = nullptr;
    LineProc lineBlendPacked = nullptr;
    LineProc lineBlendPlain = nullptr;
    LineProc lineTransparent = nullptr;
    MoveLongwordProc moveLongword = nullptr;
    FillLongwordProc fillLongword = nullptr;
    FillLongwordRectProc fillLongwordRect = nullptr;
    FillAlphaProc fillAlpha = nullptr;
    FillAlphaRectProc fillAlphaRect = nullptr;
    ClearAlphaProc clearAlpha = nullptr;
    GetBitsFromDCProc getBitsFromDC = nullptr;
    StretchToDCProc stretchToDCOpaque = nullptr;
    StretchToDCProc stretchToDCAlphaBlend = nullptr;
    StretchToDCProc stretchToDCTransparent = nullptr;
    StretchToDibProc stretchToDibOpaque = nullptr;
    StretchToDibProc stretchToDibAlphaBlend = nullptr;
    StretchToDibProc stretchToDibTransparent = nullptr;
    StretchProc stretchOpaque = nullptr;
    StretchProc stretchAlphaBlend = nullptr;
    StretchProc stretchTransparent = nullptr;
    BltProc bltOpaque = nullptr;
    BltProc bltAlphaBlend = nullptr;
    BltProc bltTransparent = nullptr;

    // The rows of the fade composition, which sit behind no slot.
    luxraster::StampRowProc stampRow = nullptr;
    luxraster::AllZeroProc allZero = nullptr;
    // Copy, stamp and blend of a fade row in one step, for each blend; null where no level of
    // this processor has it (the composition then takes the separate steps).
    luxraster::FadeRowProc fadeRowPacked = nullptr;
    luxraster::FadeRowProc fadeRowPlain = nullptr;
    // The same fade rows and the copy of rows apart, with stores that bypass the caches: for
    // passes whose pictures together exceed the last-level cache, whose output would be evicted
    // before it is read again anyway and whose reading of the target's lines first is wasted.
    // Null where no level of this processor has them.
    luxraster::FadeRowProc fadeRowPackedStreaming = nullptr;
    luxraster::FadeRowProc fadeRowPlainStreaming = nullptr;
    MoveLongwordProc moveStreaming = nullptr;
    // The stretch's column gather by blocks of eight; null where no level has it (the stretch
    // then reads column by column).
    luxraster::GatherBlocksProc gatherBlocks = nullptr;

    // The per-frame passes of the shape and circle records (effects/masks/coverpasses.h).
    void (*reachedLevel)(uint8_t* out, const uint32_t* cells, size_t count, uint16_t low, uint16_t high,
                         uint8_t v) = nullptr;
    void (*lastLevels)(uint8_t* out, const uint32_t* cells, size_t count, uint16_t high,
                       const int32_t* levels) = nullptr;
    // The rows of slide cell records (effects/masks/cellruns.h).
    void (*fillMovedRun)(TluxCell* row, int n, int64_t firstSourceX, int64_t sourceY) = nullptr;
    int (*runLength)(const TluxCell* row, int n, int firstSourceX, int sourceY) = nullptr;
    int (*runLengthBackwards)(const TluxCell* row, int n, int firstSourceX, int sourceY) = nullptr;
    // The draws of the pixel order (effects/masks/pixelorder.h): a block of count draws from
    // seed (count a multiple of 16).
    void (*drawBlock)(uint32_t seed, uint32_t n, uint32_t* states, uint32_t* cells, int count) = nullptr;
    // The first draws of the cells an order still lacks late in it (effects/masks/firstdraws.h).
    void (*firstDraws)(uint32_t seed, uint32_t n, const uint32_t* cells, size_t count, uint32_t* out) = nullptr;
    // The copy of a slide's moved pixels that have alpha (effects/engine/seenpixels.h).
    void (*copySeen)(const TluxColor* in, TluxColor* out, int n) = nullptr;
    void (*copySeenTwice)(const TluxColor* first, const TluxColor* second, TluxColor* out, int n) = nullptr;
};

// Whether a pass over pictures of `bytes` in all exceeds the last-level cache, so that the
// streaming entries serve it better.
bool passExceedsCache(size_t bytes);

// The table, built at the first call from the environment's levels.
const LuxDispatch& luxDispatch();

// The entries a library above fills: scalar fills each of them, sse2 and avx2 (null when the
// level gains nothing) what they speed up.
struct DispatchFill {
    void (*scalar)(LuxDispatch&) = nullptr;
    void (*sse2)(LuxDispatch&) = nullptr;
    void (*avx2)(LuxDispatch&) = nullptr;
};
// Adds the fills to the table, which is filled again. Made once per library while the program
// loads (a namespace-scope constant in the file whose passes use the entries), before any
// thread reads the table; returns true for that constant.
bool addDispatchFill(const DispatchFill& fill);

// Builds the table again with the levels above `top` switched off, as LUX_DISABLE does for the
// whole program, and refills the raster slots with the blend they hold; false, changing nothing,
// where the processor or the environment does not allow `top`. Tests run every pass at every
// level through it; no frame may be composed meanwhile.
bool rebuildDispatch(SimdLevel top);
