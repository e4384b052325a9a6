#include "effects/forms/seethrough.h"

#include "effects/bitmap/luxbitmap.h"

#include <algorithm>
#include <cstdlib>

namespace {

int channel(TluxColor c, int shift)
{
    return int((c >> shift) & 0xFFu);
}

// A frame pixel f that is the revealed pixel r faded by w towards the almost
// black Unrevealed is f = r * w / 255 in every channel (give or take rounding
// and Unrevealed's own bit). The weight comes from r's brightest channel; the
// pixel counts as faded when every channel agrees with it.
TluxColor seeThroughPixel(TluxColor f, TluxColor r)
{
    if ((f & 0x00FFFFFFu) == (Unrevealed & 0x00FFFFFFu))
        return 0;
    if ((f & 0x00FFFFFFu) == (r & 0x00FFFFFFu))
        return f | 0xFF000000u;
    constexpr int Shifts[3] = {16, 8, 0};
    int brightest = 0;
    for (int s : Shifts)
        brightest = std::max(brightest, channel(r, s));
    constexpr int Tolerance = 3;
    if (brightest < 16) // too dark to tell a fade from the colour itself
        return f | 0xFF000000u;
    int weight = 0;
    for (int s : Shifts)
        if (channel(r, s) == brightest)
            weight = std::min(255, (channel(f, s) * 255 + brightest / 2) / brightest);
    TluxColor out = TluxColor(weight) << 24;
    for (int s : Shifts) {
        const int expected = (channel(r, s) * weight + 127) / 255;
        if (std::abs(channel(f, s) - expected) > Tolerance)
            return f | 0xFF000000u; // not a fade of the revealed pixel: moved here, opaque
        out |= TluxColor(std::min(channel(f, s), weight)) << s;
    }
    return out;
}

} // namespace

QImage SeeThroughFrame(const QImage& frame, const TluxBitmap* revealed)
{
    QImage out(frame.size(), QImage::Format_ARGB32_Premultiplied);
    const QImage in = frame.convertToFormat(QImage::Format_ARGB32);
    const int rw = revealed ? revealed->Width : 0, rh = revealed ? revealed->Height : 0;
    for (int y = 0; y < in.height(); ++y) {
        const auto* f = reinterpret_cast<const TluxColor*>(in.constScanLine(y));
        auto* o = reinterpret_cast<TluxColor*>(out.scanLine(y));
        const TluxColor* r = y < rh ? revealed->GetScanLine(y) : nullptr;
        for (int x = 0; x < in.width(); ++x) {
            if (r && x < rw)
                o[x] = seeThroughPixel(f[x], r[x]);
            else
                o[x] = (f[x] & 0x00FFFFFFu) == (Unrevealed & 0x00FFFFFFu) ? 0 : f[x] | 0xFF000000u;
        }
    }
    return out;
}
