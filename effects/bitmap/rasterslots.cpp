// The 22 primitive slots, and the single implementations the dispatch table
// holds for the slots that have one. The slots are constant portable
// implementations (the packed blend in SSE2, which every x86-64 processor
// runs) until the program has loaded; then, and again at the start-up step,
// initRasterPrimitives() fills them from the table. Code that calls through a
// slot includes rasterprimitives.h, which depends on no implementation.

#include "effects/bitmap/rasterprimitives.h"

#include "effects/bitmap/dispatch.h"
#include "effects/bitmap/rowprimitives.h"
#include "effects/bitmap/stretch.h"

PixelAlphaBlendProc PixelAlphaBlendFunc = luxraster::sse2::pixelBlendPacked;
LineProc LineAlphaBlendFunc = luxraster::sse2::lineBlendPacked;
LineProc LineTransparentFunc = luxraster::sse2::lineTransparent;
MoveLongwordProc MoveLongwordFunc = luxraster::moveLongword;
FillLongwordProc FillLongwordFunc = luxraster::fillLongword;
FillLongwordRectProc FillLongwordRectFunc = luxraster::fillLongwordRect;
FillAlphaProc FillAlphaFunc = luxraster::fillAlpha;
FillAlphaRectProc FillAlphaRectFunc = luxraster::fillAlphaRect;
ClearAlphaProc ClearAlphaFunc = luxraster::clearAlpha;
GetBitsFromDCProc GetBitsFromDCFunc = luxraster::getBitsFromDC;
StretchToDCProc StretchToDCOpaqueFunc = luxraster::stretchToDCOpaque;
StretchToDCProc StretchToDCAlphaBlendFunc = luxraster::stretchToDCThroughMemory;
StretchToDCProc StretchToDCTransparentFunc = luxraster::stretchToDCThroughMemory;
StretchToDibProc StretchToDibOpaqueFunc = luxraster::stretchToDibOpaque;
StretchToDibProc StretchToDibAlphaBlendFunc = luxraster::stretchToDibAlphaBlend;
StretchToDibProc StretchToDibTransparentFunc = luxraster::stretchToDibTransparent;
StretchProc StretchOpaqueFunc = luxraster::stretchOpaque;
StretchProc StretchAlphaBlendFunc = luxraster::stretchAlphaBlend;
StretchProc StretchTransparentFunc = luxraster::stretchTransparent;
BltProc BltOpaqueFunc = luxraster::bltOpaque;
BltProc BltAlphaBlendFunc = luxraster::bltAlphaBlend;
BltProc BltTransparentFunc = luxraster::bltTransparent;

namespace {

// Key-colour drawing onto a context takes the software path: this platform has
// no transparent block copy of its own.
void fillSingleImplementations(LuxDispatch& d)
{
    using namespace luxraster;
    d.getBitsFromDC = getBitsFromDC;
    d.stretchToDCOpaque = stretchToDCOpaque;
    d.stretchToDCAlphaBlend = stretchToDCThroughMemory;
    d.stretchToDCTransparent = stretchToDCThroughMemory;
    d.stretchToDibOpaque = stretchToDibOpaque;
    d.stretchToDibAlphaBlend = stretchToDibAlphaBlend;
    d.stretchToDibTransparent = stretchToDibTransparent;
    d.stretchOpaque = stretchOpaque;
    d.stretchAlphaBlend = stretchAlphaBlend;
    d.stretchTransparent = stretchTransparent;
    d.bltOpaque = bltOpaque;
    d.bltAlphaBlend = bltAlphaBlend;
    d.bltTransparent = bltTransparent;
}

[[maybe_unused]] const bool filled = addDispatchFill({.scalar = fillSingleImplementations});
[[maybe_unused]] const bool slotsFilled = (initRasterPrimitives(), true);

} // namespace
