#include "effects/bitmap/rasterdispatch.h"

#include "effects/bitmap/rowprimitives.h"
#include "effects/util/cpufeatures.h"

namespace {

RasterDispatch choose(const CpuFeatures& cpu)
{
    using namespace luxraster;
    RasterDispatch d;
    d.blend = cpu.mmx ? BlendKind::Packed : BlendKind::Plain;
    const bool packed = d.blend == BlendKind::Packed;
    d.pixelBlend = pixelBlendPlain;
    d.lineBlendPacked = lineBlendPacked;
    d.lineBlendPlain = lineBlendPlain;
    d.lineTransparent = lineTransparent;
    d.stampRow = stampRow;
    d.allZero = allZero;
    if (cpu.sse2) {
        d.level = SimdLevel::Sse2;
        d.pixelBlend = packed ? sse2::pixelBlendPacked : pixelBlendPlain;
        d.lineBlendPacked = sse2::lineBlendPacked;
        d.lineBlendPlain = sse2::lineBlendPlain;
        d.lineTransparent = sse2::lineTransparent;
        d.stampRow = sse2::stampRow;
        d.allZero = sse2::allZero;
    } else if (packed) {
        d.pixelBlend = pixelBlendPacked;
    }
    if (cpu.avx2) {
        // One pixel gains nothing from wider registers: the pixel blend stays.
        d.level = SimdLevel::Avx2;
        d.lineBlendPacked = avx2::lineBlendPacked;
        d.lineBlendPlain = avx2::lineBlendPlain;
        d.lineTransparent = avx2::lineTransparent;
        d.fadeRowPacked = avx2::fadeRowPacked;
        d.fadeRowPlain = avx2::fadeRowPlain;
        d.vectorGather = true;
    }
    return d;
}

} // namespace

const RasterDispatch& rasterDispatch()
{
    static const RasterDispatch table = choose(ProcessorFeatures());
    return table;
}
