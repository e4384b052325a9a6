// The fade kind and the bitmap animation in one pass over the pixels.
//
// The separate passes are: copy Source onto the work image; stretch the mask, tiled, into Dest's
// alpha; clear the alpha of Dest's key-colour pixels; blend Dest over the work image row by row
// with LineAlphaBlendFunc. Here each row is copied, then the Dest row with its alpha stamped is
// built in a small row buffer and blended over the (still cached) work row by the same slot, so
// the work image gets the same bytes while every picture is read once. Dest's own alpha is
// written once, when the animation ends (settleDestAlpha).

#include "framecomposer.h"

#include "luxanimationrec.h"
#include "luxbitmap.h"
#include "rowprimitives.h"
#include "stretch.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr TluxColor colourBits = 0x00FFFFFFu;

// out[x] = Dest pixel with alpha m[x], or alpha 0 where its colour is the key colour.
void stampRowContiguous(const TluxColor* d, const uint8_t* m, TluxColor* out, int n)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi32(int(colourBits));
    const __m128i key = _mm_set1_epi32(int(luxTransparent));
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= n; x += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + x));
        const __m128i lo16 = _mm_unpacklo_epi8(zero, bytes); // alpha in the high byte of 16 bits
        const __m128i hi16 = _mm_unpackhi_epi8(zero, bytes);
        const __m128i alpha[4] = {_mm_unpacklo_epi16(zero, lo16), _mm_unpackhi_epi16(zero, lo16),
                                  _mm_unpacklo_epi16(zero, hi16), _mm_unpackhi_epi16(zero, hi16)};
        for (int k = 0; k < 4; ++k) {
            const __m128i colour =
                _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x + 4 * k)), low);
            const __m128i isKey = _mm_cmpeq_epi32(colour, key);
            const __m128i pixel = _mm_or_si128(colour, _mm_andnot_si128(isKey, alpha[k]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4 * k), pixel);
        }
    }
#endif
    for (; x < n; ++x) {
        const TluxColor colour = d[x] & colourBits;
        out[x] = colour == luxTransparent ? colour : colour | (TluxColor(m[x]) << 24);
    }
}

void stampRowMapped(const TluxColor* d, const uint8_t* m, const int* columns, TluxColor* out, int n)
{
    for (int x = 0; x < n; ++x) {
        const TluxColor colour = d[x] & colourBits;
        out[x] = colour == luxTransparent ? colour : colour | (TluxColor(m[columns[x]]) << 24);
    }
}

bool allZero(const uint8_t* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

bool isLibraryRowBlend(LineProc f)
{
    using namespace luxraster;
    return f == lineBlendPlain || f == lineBlendPacked || f == sse2::lineBlendPlain ||
           f == sse2::lineBlendPacked || f == avx2::lineBlendPlain || f == avx2::lineBlendPacked;
}

} // namespace

namespace luxcompose {

bool onePassAvailable()
{
    return ClearAlphaFunc == luxraster::clearAlpha && StretchAlphaBlendFunc == luxraster::stretchAlphaBlend &&
           BltAlphaBlendFunc == luxraster::bltAlphaBlend && MoveLongwordFunc == luxraster::moveLongword &&
           isLibraryRowBlend(LineAlphaBlendFunc);
}

bool onePassFade(TluxAnimationSlot& slot, bool copySource)
{
    TluxBitmap* work = slot.work.get();
    TluxBitmap* dest = slot.dest;
    const TluxBitmap* source = slot.source;
    if (!work || !dest || dest->Empty() || work->Empty() || !slot.mask)
        return false;
    const int width = work->Width, height = work->Height;
    const int cw = std::min(width, dest->Width), ch = std::min(height, dest->Height);
    const int c = slot.columns, r = slot.rows;
    const int R = std::max(1, slot.settings->Resolution), T = std::max(1, slot.settings->TileCount);
    const int64_t tileWidth = int64_t(R) * c, tileHeight = int64_t(R) * r;
    // Only where the tiles cover every blended pixel; the separate passes handle the rest.
    if (tileWidth * T < cw || tileHeight * T < ch)
        return false;
    if (int(slot.rowBuffer.size()) < cw || int(slot.columnMap.size()) < cw)
        return false;

    // Mask column of each frame column: the 16.16 stepping of StretchAlphaRect within each tile.
    const int64_t xstep = (int64_t(c) << 16) / tileWidth;
    const int64_t ystep = (int64_t(r) << 16) / tileHeight;
    const bool identity = R == 1 && T == 1; // column x reads mask column x
    if (!identity) {
        int* map = slot.columnMap.data();
        for (int x = 0; x < cw; ++x) {
            const int64_t k = x % tileWidth;
            map[x] = int((k * xstep) >> 16);
        }
    }

    const uint8_t* mask = slot.mask.get();
    TluxColor* buffer = slot.rowBuffer.data();
    for (int y = 0; y < height; ++y) {
        TluxColor* out = work->GetScanLine(y);
        if (copySource)
            MoveLongwordFunc(source->GetScanLine(y), out, width);
        if (y >= ch)
            continue;
        const int64_t k = y % tileHeight;
        const uint8_t* maskRow = mask + size_t((k * ystep) >> 16) * size_t(c);
        // A row the mask leaves wholly old: the blend would keep every work pixel.
        if (allZero(maskRow, c))
            continue;
        const TluxColor* in = dest->GetScanLine(y);
        if (identity)
            stampRowContiguous(in, maskRow, buffer, cw);
        else
            stampRowMapped(in, maskRow, slot.columnMap.data(), buffer, cw);
        LineAlphaBlendFunc(buffer, out, cw);
    }
    dest->AlphaBlend = true;
    slot.destAlphaPending = true;
    return true;
}

} // namespace luxcompose
