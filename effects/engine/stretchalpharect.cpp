#include "effects/engine/stretchalpharect.h"

#include "effects/bitmap/luxcolor.h"
#include "platform/types.h"

#include <cstdint>

namespace {

// a * b / c rounded half away from zero, in 128 bits: clipped offsets of large maps stay exact.
int64_t mulDiv64(int64_t a, int64_t b, int64_t c)
{
    const __int128 p = __int128(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const unsigned __int128 up = p < 0 ? -p : p;
    const unsigned __int128 uc = c < 0 ? -__int128(c) : __int128(c);
    const unsigned __int128 q = (up + uc / 2) / uc;
    return negative ? -int64_t(q) : int64_t(q);
}

} // namespace

void StretchAlphaRect(void* DstBits, int DstWidth, int DstHeight, int DstX, int DstY, int DstW, int DstH,
                      int SrcX, int SrcY, int SrcW, int SrcH, const void* Src)
{
    if (!DstBits || !Src)
        return;
    const TRect srcRect(SrcX, SrcY, SrcX + SrcW, SrcY + SrcH);
    const TRect dstRect(DstX, DstY, DstX + DstW, DstY + DstH);
    const TRect bounds(0, 0, DstWidth, DstHeight);
    TRect c;
    if (!IntersectRect(c, srcRect, bounds))
        return;
    if (DstW <= 0 || DstH <= 0)
        return;
    if (!IntersectRect(c, dstRect, bounds))
        return;

    // The start of a rectangle cut on its left or top edge is scaled by 65535 while the step uses
    // 65536: the whole cut row samples a hair early, so a sample landing exactly on a map cell's
    // edge takes the cell before. Pictures of cut rectangles depend on it; the engine's tiles never
    // start left of or above the area, so their start is 0 either way.
    const int64_t x0 = mulDiv64(int64_t(c.Left - dstRect.Left) * SrcW, 65535, DstW);
    const int64_t y0 = mulDiv64(int64_t(c.Top - dstRect.Top) * SrcH, 65535, DstH);
    const int64_t xstep = (int64_t(SrcW) * 65536) / DstW;
    const int64_t ystep = (int64_t(SrcH) * 65536) / DstH;

    const auto* map = static_cast<const uint8_t*>(Src);
    auto* pixels = static_cast<TluxColor*>(DstBits);
    const int64_t rowLength = srcRect.Width();
    int64_t fy = y0;
    for (int y = c.Top; y < c.Bottom; ++y) {
        const uint8_t* in = map + rowLength * ((fy >> 16) + srcRect.Top) + srcRect.Left;
        TluxColor* out = pixels + int64_t(y) * DstWidth;
        int64_t fx = x0;
        for (int x = c.Left; x < c.Right; ++x) {
            out[x] = (out[x] & 0x00FFFFFFu) | (TluxColor(in[fx >> 16]) << 24);
            fx += xstep;
        }
        fy += ystep;
    }
}
