// The 22 primitive slots and the start-up step that fills them.

#include "effects/bitmap/rasterprimitives.h"

#include "effects/bitmap/rowprimitives.h"
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

namespace luxraster {

bool cpuHasMmx()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("mmx") != 0;
    }();
    return has;
}

bool cpuHasSse2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return has;
}

bool cpuHasAvx2()
{
    // The library also checks that the operating system saves the AVX state.
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

} // namespace luxraster

SimdLevel bestSimdLevel()
{
    if (luxraster::cpuHasAvx2())
        return SimdLevel::Avx2;
    if (luxraster::cpuHasSse2())
        return SimdLevel::Sse2;
    return SimdLevel::Scalar;
}

bool selectRasterPath(BlendKind kind, SimdLevel level)
{
    using namespace luxraster;
    if ((level == SimdLevel::Avx2 && !cpuHasAvx2()) || (level == SimdLevel::Sse2 && !cpuHasSse2()))
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
    selectRasterPath(cpuHasMmx() ? BlendKind::Packed : BlendKind::Plain, bestSimdLevel());
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
