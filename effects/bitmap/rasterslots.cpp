// The 22 primitive slots and the start-up step that fills them. This is where
// the slots meet their implementations (the row primitives, the stretches,
// which themselves work on TluxBitmap), so no header is named after it: code
// that calls through a slot includes rasterprimitives.h, which depends on no
// implementation, and the library's files never include each other in a circle.

#include "effects/bitmap/rasterprimitives.h"

#include "effects/bitmap/rasterdispatch.h"
#include "effects/bitmap/rowprimitives.h"
#include "effects/util/cpufeatures.h"
#include "effects/bitmap/stretch.h"

namespace {

// Every x86-64 processor has MMX and SSE2, so the slots start out holding the
// packed blend in SSE2; initRasterPrimitives() upgrades to AVX2 where it runs.
BlendKind g_kind = BlendKind::Packed;
SimdLevel g_level = SimdLevel::Sse2;

} // namespace

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

SimdLevel bestSimdLevel()
{
    return rasterDispatch().level;
}

bool selectRasterPath(BlendKind kind, SimdLevel level)
{
    using namespace luxraster;
    const CpuFeatures& cpu = ProcessorFeatures();
    if ((level == SimdLevel::Avx2 && !cpu.avx2) || (level == SimdLevel::Sse2 && !cpu.sse2))
        return false;
    const bool packed = kind == BlendKind::Packed;
    switch (level) {
    case SimdLevel::Scalar:
        PixelAlphaBlendFunc = packed ? pixelBlendPacked : pixelBlendPlain;
        LineAlphaBlendFunc = packed ? lineBlendPacked : lineBlendPlain;
        LineTransparentFunc = lineTransparent;
        break;
    case SimdLevel::Sse2:
        PixelAlphaBlendFunc = packed ? sse2::pixelBlendPacked : pixelBlendPlain;
        LineAlphaBlendFunc = packed ? sse2::lineBlendPacked : sse2::lineBlendPlain;
        LineTransparentFunc = sse2::lineTransparent;
        break;
    case SimdLevel::Avx2:
        // One pixel gains nothing from wider registers.
        PixelAlphaBlendFunc = packed ? sse2::pixelBlendPacked : pixelBlendPlain;
        LineAlphaBlendFunc = packed ? avx2::lineBlendPacked : avx2::lineBlendPlain;
        LineTransparentFunc = avx2::lineTransparent;
        break;
    }
    g_kind = kind;
    g_level = level;
    return true;
}

BlendKind currentBlendKind()
{
    return g_kind;
}

SimdLevel currentSimdLevel()
{
    return g_level;
}

void initRasterPrimitives()
{
    using namespace luxraster;
    const RasterDispatch& table = rasterDispatch();
    PixelAlphaBlendFunc = table.pixelBlend;
    LineAlphaBlendFunc = table.blend == BlendKind::Packed ? table.lineBlendPacked : table.lineBlendPlain;
    LineTransparentFunc = table.lineTransparent;
    g_kind = table.blend;
    g_level = table.level;
    MoveLongwordFunc = moveLongword;
    FillLongwordFunc = fillLongword;
    FillLongwordRectFunc = fillLongwordRect;
    FillAlphaFunc = fillAlpha;
    FillAlphaRectFunc = fillAlphaRect;
    ClearAlphaFunc = clearAlpha;
    // Key-colour drawing onto a context takes the software path: this platform
    // has no transparent block copy of its own.
    StretchToDCOpaqueFunc = stretchToDCOpaque;
    StretchToDCAlphaBlendFunc = stretchToDCThroughMemory;
    StretchToDCTransparentFunc = stretchToDCThroughMemory;
    StretchToDibOpaqueFunc = stretchToDibOpaque;
    StretchToDibAlphaBlendFunc = stretchToDibAlphaBlend;
    StretchToDibTransparentFunc = stretchToDibTransparent;
    StretchOpaqueFunc = stretchOpaque;
    StretchAlphaBlendFunc = stretchAlphaBlend;
    StretchTransparentFunc = stretchTransparent;
    BltOpaqueFunc = bltOpaque;
    BltAlphaBlendFunc = bltAlphaBlend;
    BltTransparentFunc = bltTransparent;
    GetBitsFromDCFunc = getBitsFromDC;
}
