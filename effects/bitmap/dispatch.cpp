#include "effects/bitmap/dispatch.h"

#include "effects/bitmap/rowprimitives.h"
#include "effects/util/cpufeatures.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <vector>

namespace {

// The widest level the processor runs and LUX_DISABLE leaves on. Each level builds on the one
// below, so switching off SSE2 switches off AVX2 as well.
SimdLevel allowedLevel()
{
    static const SimdLevel allowed = [] {
        const CpuFeatures& cpu = ProcessorFeatures();
        bool sse2 = cpu.sse2, avx2 = cpu.avx2;
        for (const QByteArray& word : qgetenv("LUX_DISABLE").toLower().split(',')) {
            const QByteArray name = word.trimmed();
            sse2 = sse2 && name != "sse2";
            avx2 = avx2 && name != "avx2";
        }
        return !sse2 ? SimdLevel::Scalar : !avx2 ? SimdLevel::Sse2 : SimdLevel::Avx2;
    }();
    return allowed;
}

// Every level of the row primitives.
void fillScalar(LuxDispatch& d)
{
    using namespace luxraster;
    d.pixelBlendPacked = pixelBlendPacked;
    d.pixelBlendPlain = pixelBlendPlain;
    d.lineBlendPacked = lineBlendPacked;
    d.lineBlendPlain = lineBlendPlain;
    d.lineTransparent = lineTransparent;
    d.moveLongword = moveLongword;
    d.fillLongword = fillLongword;
    d.fillLongwordRect = fillLongwordRect;
    d.fillAlpha = fillAlpha;
    d.fillAlphaRect = fillAlphaRect;
    d.clearAlpha = clearAlpha;
    d.stampRow = stampRow;
    d.allZero = allZero;
}

void fillSse2(LuxDispatch& d)
{
    using namespace luxraster;
    d.pixelBlendPacked = sse2::pixelBlendPacked;
    d.lineBlendPacked = sse2::lineBlendPacked;
    d.lineBlendPlain = sse2::lineBlendPlain;
    d.lineTransparent = sse2::lineTransparent;
    d.stampRow = sse2::stampRow;
    d.allZero = sse2::allZero;
}

// One pixel gains nothing from wider registers: the pixel blend stays.
void fillAvx2(LuxDispatch& d)
{
    using namespace luxraster;
    d.lineBlendPacked = avx2::lineBlendPacked;
    d.lineBlendPlain = avx2::lineBlendPlain;
    d.lineTransparent = avx2::lineTransparent;
    d.fadeRowPacked = avx2::fadeRowPacked;
    d.fadeRowPlain = avx2::fadeRowPlain;
    d.fadeRowPackedStreaming = avx2::fadeRowPackedStreaming;
    d.fadeRowPlainStreaming = avx2::fadeRowPlainStreaming;
    d.moveStreaming = avx2::moveStreaming;
    d.gatherBlocks = avx2::gatherBlocks;
}

} // namespace

bool passExceedsCache(size_t bytes)
{
    const size_t cache = lastLevelCacheBytes();
    return cache > 0 && bytes > cache;
}

namespace {

std::vector<DispatchFill>& fills()
{
    static std::vector<DispatchFill> list{{fillScalar, fillSse2, fillAvx2}};
    return list;
}

LuxDispatch build(SimdLevel top)
{
    LuxDispatch d;
    d.blend = HasMMX() ? BlendKind::Packed : BlendKind::Plain;
    for (const DispatchFill& f : fills())
        if (f.scalar)
            f.scalar(d);
    if (top >= SimdLevel::Sse2) {
        d.level = SimdLevel::Sse2;
        for (const DispatchFill& f : fills())
            if (f.sse2)
                f.sse2(d);
    }
    if (top >= SimdLevel::Avx2) {
        d.level = SimdLevel::Avx2;
        for (const DispatchFill& f : fills())
            if (f.avx2)
                f.avx2(d);
    }
    return d;
}

LuxDispatch& storage()
{
    static LuxDispatch table;
    return table;
}

std::atomic<bool> built{false};

// The blend the raster slots were last filled with.
BlendKind slotBlend = BlendKind::Packed;

void fillBlendSlots(const LuxDispatch& d, BlendKind kind)
{
    const bool packed = kind == BlendKind::Packed;
    PixelAlphaBlendFunc = packed ? d.pixelBlendPacked : d.pixelBlendPlain;
    LineAlphaBlendFunc = packed ? d.lineBlendPacked : d.lineBlendPlain;
    LineTransparentFunc = d.lineTransparent;
    slotBlend = kind;
}

} // namespace

const LuxDispatch& luxDispatch()
{
    static const bool once = [] {
        storage() = build(allowedLevel());
        built = true;
        return true;
    }();
    (void)once;
    return storage();
}

bool addDispatchFill(const DispatchFill& fill)
{
    fills().push_back(fill);
    if (built)
        storage() = build(storage().level);
    return true;
}

bool rebuildDispatch(SimdLevel top)
{
    if (top > allowedLevel())
        return false;
    luxDispatch();
    storage() = build(top);
    fillBlendSlots(storage(), slotBlend);
    return true;
}

void initRasterPrimitives()
{
    luxDispatch();
    storage() = build(allowedLevel());
    const LuxDispatch& d = storage();
    fillBlendSlots(d, d.blend);
    MoveLongwordFunc = d.moveLongword;
    FillLongwordFunc = d.fillLongword;
    FillLongwordRectFunc = d.fillLongwordRect;
    FillAlphaFunc = d.fillAlpha;
    FillAlphaRectFunc = d.fillAlphaRect;
    ClearAlphaFunc = d.clearAlpha;
    GetBitsFromDCFunc = d.getBitsFromDC;
    StretchToDCOpaqueFunc = d.stretchToDCOpaque;
    StretchToDCAlphaBlendFunc = d.stretchToDCAlphaBlend;
    StretchToDCTransparentFunc = d.stretchToDCTransparent;
    StretchToDibOpaqueFunc = d.stretchToDibOpaque;
    StretchToDibAlphaBlendFunc = d.stretchToDibAlphaBlend;
    StretchToDibTransparentFunc = d.stretchToDibTransparent;
    StretchOpaqueFunc = d.stretchOpaque;
    StretchAlphaBlendFunc = d.stretchAlphaBlend;
    StretchTransparentFunc = d.stretchTransparent;
    BltOpaqueFunc = d.bltOpaque;
    BltAlphaBlendFunc = d.bltAlphaBlend;
    BltTransparentFunc = d.bltTransparent;
}

bool selectRasterPath(BlendKind kind, SimdLevel level)
{
    if (!rebuildDispatch(level))
        return false;
    fillBlendSlots(storage(), kind);
    return true;
}

BlendKind currentBlendKind()
{
    return slotBlend;
}

SimdLevel currentSimdLevel()
{
    return luxDispatch().level;
}

SimdLevel bestSimdLevel()
{
    return allowedLevel();
}
