// The fade kind and the bitmap animation in one pass over the pixels.
//
// The separate passes are: copy Source onto the work image; stretch the mask, tiled, into Dest's
// alpha; clear the alpha of Dest's key-colour pixels; blend Dest over the work image row by row
// with LineAlphaBlendFunc. Here each row is copied, then the Dest row with its alpha stamped is
// built in a small row buffer and blended over the (still cached) work row by the same slot, so
// the work image gets the same bytes while every picture is read once. Dest's own alpha is
// written once, when the animation ends (settleDestAlpha).

#include "effects/engine/framecomposer.h"

#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/bitmap/rowprimitives.h"
#include "effects/bitmap/stretch.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LUX_ONEPASS_AVX2 1
#define LUX_AVX2 __attribute__((target("avx2")))
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
    int i = 0;
#if defined(__SSE2__)
    __m128i any = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16)
        any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) != 0xFFFF)
        return false;
#endif
    for (; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

#if defined(LUX_ONEPASS_AVX2)
// Copy, stamp and blend of one row in a single step per eight pixels: F is the Dest pixel with
// alpha a (0 for key-colour pixels), B the Source pixel, and the work pixel gets the row blend
// of F over B, exactly as LineAlphaBlendFunc gives it (see rowprimitives.h):
//   packed: every byte (B << 8) + (F - B) * a' >> 8, a' = a except 255 -> 256 (F unchanged);
//   plain:  colour bytes (B << 8) - B + (F - B) * a >> 8, alpha 255; a = 0 gives B, 255 gives F.
template <bool Packed>
LUX_AVX2 void blendStampedRow(const TluxColor* src, const TluxColor* dst, const uint8_t* alpha, TluxColor* out,
                              int n)
{
    const __m256i low = _mm256_set1_epi32(int(colourBits));
    const __m256i key = _mm256_set1_epi32(int(luxTransparent));
    const __m256i rbMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000));
    const __m256i ff = _mm256_set1_epi16(255);
    int x = 0;
    for (; x + 8 <= n; x += 8) {
        uint64_t eight;
        std::memcpy(&eight, alpha + x, sizeof eight);
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        // Eight old pixels: nothing to read from Dest.
        if (eight == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), b);
            continue;
        }
        const __m256i d = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + x)), low);
        // Eight new pixels: Dest made opaque, key-colour pixels old.
        if (eight == ~uint64_t(0)) {
            const __m256i isKey = _mm256_cmpeq_epi32(d, key);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                                _mm256_blendv_epi8(_mm256_or_si256(d, alphaMask), b, isKey));
            continue;
        }
        // Alpha per pixel, 0 at key pixels, as a 32-bit value, then in both 16-bit lanes.
        __m256i a32 = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + x)));
        a32 = _mm256_andnot_si256(_mm256_cmpeq_epi32(d, key), a32);
        __m256i a = _mm256_or_si256(a32, _mm256_slli_epi32(a32, 16));
        const __m256i f = _mm256_or_si256(d, _mm256_slli_epi32(a32, 24));
        const __m256i fr = _mm256_and_si256(f, rbMask), br = _mm256_and_si256(b, rbMask);
        const __m256i fg = _mm256_srli_epi16(f, 8), bg = _mm256_srli_epi16(b, 8);
        __m256i r;
        if constexpr (Packed) {
            a = _mm256_sub_epi16(a, _mm256_cmpeq_epi16(a, ff));
            const __m256i rb = _mm256_add_epi16(_mm256_slli_epi16(br, 8), _mm256_mullo_epi16(_mm256_sub_epi16(fr, br), a));
            const __m256i ga = _mm256_add_epi16(_mm256_slli_epi16(bg, 8), _mm256_mullo_epi16(_mm256_sub_epi16(fg, bg), a));
            r = _mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(rbMask, ga));
        } else {
            const __m256i rb = _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(br, 8), br),
                                                _mm256_mullo_epi16(_mm256_sub_epi16(fr, br), a));
            const __m256i ga = _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(bg, 8), bg),
                                                _mm256_mullo_epi16(_mm256_sub_epi16(fg, bg), a));
            r = _mm256_or_si256(_mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(rbMask, ga)), alphaMask);
            r = _mm256_blendv_epi8(r, b, _mm256_cmpeq_epi32(a32, _mm256_setzero_si256()));
            r = _mm256_blendv_epi8(r, f, _mm256_cmpeq_epi32(a32, _mm256_set1_epi32(255)));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), r);
    }
    // The last pixels: copy, stamp and the slot's own blend.
    if (x < n) {
        TluxColor tail[8];
        for (int i = x; i < n; ++i) {
            const TluxColor colour = dst[i] & colourBits;
            tail[i - x] = colour == luxTransparent ? colour : colour | (TluxColor(alpha[i]) << 24);
            out[i] = src[i];
        }
        LineAlphaBlendFunc(tail, out + x, n - x);
    }
}
#endif

enum class FusedBlend { None, Packed, Plain };

// Which fused row the installed row blend allows.
FusedBlend fusedBlend()
{
#if defined(LUX_ONEPASS_AVX2)
    using namespace luxraster;
    if (!cpuHasAvx2())
        return FusedBlend::None;
    const LineProc f = LineAlphaBlendFunc;
    if (f == lineBlendPacked || f == sse2::lineBlendPacked || f == avx2::lineBlendPacked)
        return FusedBlend::Packed;
    if (f == lineBlendPlain || f == sse2::lineBlendPlain || f == avx2::lineBlendPlain)
        return FusedBlend::Plain;
#endif
    return FusedBlend::None;
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

bool onePassApplies(const TluxAnimationSlot& slot)
{
    const TluxBitmap* work = slot.work.get();
    const TluxBitmap* dest = slot.dest;
    if (!work || !dest || !slot.source || dest->Empty() || work->Empty() || !slot.mask || !slot.settings ||
        slot.source == dest || !onePassAvailable())
        return false;
    const int cw = std::min(work->Width, dest->Width), ch = std::min(work->Height, dest->Height);
    const int R = std::max(1, slot.settings->Resolution), T = std::max(1, slot.settings->TileCount);
    // Only where the tiles cover every blended pixel; the separate passes handle the rest.
    if (int64_t(R) * slot.columns * T < cw || int64_t(R) * slot.rows * T < ch)
        return false;
    return int(slot.rowBuffer.size()) >= cw && int(slot.columnMap.size()) >= cw;
}

bool onePassFade(TluxAnimationSlot& slot, bool copySource)
{
    if (!onePassApplies(slot))
        return false;
    TluxBitmap* work = slot.work.get();
    TluxBitmap* dest = slot.dest;
    const TluxBitmap* source = slot.source;
    const int width = work->Width, height = work->Height;
    const int cw = std::min(width, dest->Width), ch = std::min(height, dest->Height);
    const int c = slot.columns, r = slot.rows;
    const int R = std::max(1, slot.settings->Resolution), T = std::max(1, slot.settings->TileCount);
    const int64_t tileWidth = int64_t(R) * c, tileHeight = int64_t(R) * r;

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
    const FusedBlend fused = copySource ? fusedBlend() : FusedBlend::None;
    for (int y = 0; y < height; ++y) {
        TluxColor* out = work->GetScanLine(y);
        const TluxColor* old = source->GetScanLine(y);
        const int64_t k = y % tileHeight;
        const uint8_t* maskRow = y < ch ? mask + size_t((k * ystep) >> 16) * size_t(c) : nullptr;
        // A row the mask leaves wholly old (or that Dest does not reach) keeps the old picture.
        if (!maskRow || allZero(maskRow, c)) {
            if (copySource)
                MoveLongwordFunc(old, out, width);
            continue;
        }
        const TluxColor* in = dest->GetScanLine(y);
#if defined(LUX_ONEPASS_AVX2)
        if (fused != FusedBlend::None) {
            const uint8_t* alpha = maskRow;
            if (!identity) {
                // The row's alpha bytes, gathered into the row buffer's memory.
                auto* bytes = reinterpret_cast<uint8_t*>(buffer);
                const int* map = slot.columnMap.data();
                for (int x = 0; x < cw; ++x)
                    bytes[x] = maskRow[map[x]];
                alpha = bytes;
            }
            if (fused == FusedBlend::Packed)
                blendStampedRow<true>(old, in, alpha, out, cw);
            else
                blendStampedRow<false>(old, in, alpha, out, cw);
            if (cw < width)
                MoveLongwordFunc(old + cw, out + cw, width - cw);
            continue;
        }
#endif
        if (copySource)
            MoveLongwordFunc(old, out, width);
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
