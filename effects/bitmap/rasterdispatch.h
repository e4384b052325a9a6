#pragma once
// The dispatch table: the fastest variant of every row primitive this processor runs, chosen once
// from the processor's features (ProcessorFeatures) and not changed afterwards. The start-up step
// fills the raster slots from it; the fast paths that sit behind no slot (the fade composition's
// rows, the stretch's column gather) ask it directly.

#include "effects/bitmap/rasterprimitives.h"
#include "effects/bitmap/stampedrows.h"

struct RasterDispatch {
    SimdLevel level = SimdLevel::Scalar; // the widest instruction set the rows are written for
    BlendKind blend = BlendKind::Plain;  // packed where the processor has MMX
    PixelAlphaBlendProc pixelBlend = nullptr;
    LineProc lineBlendPacked = nullptr;
    LineProc lineBlendPlain = nullptr;
    LineProc lineTransparent = nullptr;
    luxraster::StampRowProc stampRow = nullptr;
    luxraster::AllZeroProc allZero = nullptr;
    // Copy, stamp and blend of a fade row in one step; null where the processor has no AVX2.
    luxraster::FadeRowProc fadeRowPacked = nullptr;
    luxraster::FadeRowProc fadeRowPlain = nullptr;
    bool vectorGather = false; // the AVX2 column gather of the stretch
};

const RasterDispatch& rasterDispatch();
