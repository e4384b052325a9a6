// TluxBitmap's secondary operations on its pixels: tiling a part of it over a
// rectangle of a target, merging another bitmap underneath it, turning it
// upside down, and the whole-bitmap colour adjustments.

#include "luxbitmap.h"

#include "hslcolor.h"

#include <algorithm>
#include <cstdint>

namespace {

// Visits the cells of a tiling of Dst with w x h copies: columns left to
// right, rows top to bottom, each cell cut to Dst. A cell is drawn when Clip is
// empty or the cut cell intersects it; the source part is the top-left corner
// of Src of the cut cell's size (the whole Src for a full cell).
template <typename DrawCell>
void forEachTileCell(const TRect& Dst, const TRect& Src, const TRect& Clip, DrawCell drawCell)
{
    const int64_t w = Src.Width(), h = Src.Height();
    if (w <= 0 || h <= 0 || IsRectEmptyRaw(Dst))
        return;
    const bool clipped = !IsRectEmptyRaw(Clip);
    for (int64_t left = Dst.Left; left < Dst.Right; left += w) {
        const int cellRight = int(std::min<int64_t>(left + w, Dst.Right));
        for (int64_t top = Dst.Top; top < Dst.Bottom; top += h) {
            const TRect cell(int(left), int(top), cellRight, int(std::min<int64_t>(top + h, Dst.Bottom)));
            if (clipped) {
                TRect common;
                if (!IntersectRect(common, cell, Clip))
                    continue;
            }
            drawCell(cell, TRect(Src.Left, Src.Top, Src.Left + cell.Width(), Src.Top + cell.Height()));
        }
    }
}

} // namespace

void TluxBitmap::Tile(HDC TargetDC, const TRect& Dst, const TRect& Src) const
{
    TileClip(TargetDC, Dst, Src, TRect());
}

void TluxBitmap::Tile(TCanvas* Canvas, const TRect& Dst, const TRect& Src) const
{
    TileClip(Canvas, Dst, Src, TRect());
}

void TluxBitmap::Tile(TluxBitmap* Target, const TRect& Dst, const TRect& Src) const
{
    TileClip(Target, Dst, Src, TRect());
}

void TluxBitmap::TileClip(HDC TargetDC, const TRect& Dst, const TRect& Src, const TRect& Clip) const
{
    if (!TargetDC || Empty())
        return;
    forEachTileCell(Dst, Src, Clip, [&](const TRect& cell, const TRect& part) { Draw(TargetDC, cell, part); });
}

void TluxBitmap::TileClip(TCanvas* Canvas, const TRect& Dst, const TRect& Src, const TRect& Clip) const
{
    if (Canvas)
        TileClip(Canvas->Handle(), Dst, Src, Clip);
}

void TluxBitmap::TileClip(TluxBitmap* Target, const TRect& Dst, const TRect& Src, const TRect& Clip) const
{
    if (!Target || Empty())
        return;
    forEachTileCell(Dst, Src, Clip, [&](const TRect& cell, const TRect& part) { Draw(Target, cell, part); });
}

void TluxBitmap::MergeDraw(const TluxBitmap* Source, int X, int Y, const TRect& SrcRect)
{
    if (!Source || Source->Empty() || Empty())
        return;
    // The source rectangle is cut to the source; a cut on the left or top moves
    // the target point along with it. 64-bit, so no offset can overflow.
    int64_t x = X, y = Y;
    int64_t left = SrcRect.Left, top = SrcRect.Top;
    if (left < 0) {
        x -= left;
        left = 0;
    }
    if (top < 0) {
        y -= top;
        top = 0;
    }
    const int64_t right = std::min<int64_t>(SrcRect.Right, Source->Width);
    const int64_t bottom = std::min<int64_t>(SrcRect.Bottom, Source->Height);
    // Target points outside this bitmap are skipped: keep only the source
    // columns and rows whose target lies inside.
    const int64_t firstColumn = std::max(left, left - x);
    const int64_t endColumn = std::min(right, left - x + Width);
    const int64_t firstRow = std::max(top, top - y);
    const int64_t endRow = std::min(bottom, top - y + Height);
    // Column by column, as a merge of a bitmap into itself must see it.
    for (int64_t sx = firstColumn; sx < endColumn; ++sx) {
        const int tx = int(x + sx - left);
        for (int64_t sy = firstRow; sy < endRow; ++sy) {
            const TluxColor s = *Source->GetPixelPtr(int(sx), int(sy));
            TluxColor* d = GetPixelPtr(tx, int(y + sy - top));
            const uint32_t alpha = *d >> 24;
            if (alpha == 0)
                *d = s;
            else if (alpha != 255)
                *d = PixelAlphaBlendFunc(*d, s);
        }
    }
}

void TluxBitmap::FlipHorz()
{
    if (Empty() || Height < 2)
        return;
    TArrayOfluxColor scratch(static_cast<size_t>(Width));
    for (int i = 0; i < Height / 2; ++i) {
        TluxColor* upper = GetScanLine(i);
        TluxColor* lower = GetScanLine(Height - 1 - i);
        MoveLongwordFunc(upper, scratch.data(), Width);
        MoveLongwordFunc(lower, upper, Width);
        MoveLongwordFunc(scratch.data(), lower, Width);
    }
}

namespace {

// Every pixel with alpha other than 0 takes the red, green and blue of
// change(pixel) and keeps its own alpha.
template <typename Change>
void adjustVisiblePixels(TluxBitmap& bitmap, Change change)
{
    if (bitmap.Empty())
        return;
    TluxColor* const end = bitmap.Bits + qsizetype(bitmap.Width) * bitmap.Height;
    for (TluxColor* p = bitmap.Bits; p != end; ++p) {
        if ((*p >> 24) == 0)
            continue;
        *p = (*p & 0xFF000000u) | (change(*p) & 0x00FFFFFFu);
    }
}

} // namespace

void TluxBitmap::ChangeBitmapBrightness(int Delta)
{
    if (Delta != 0)
        adjustVisiblePixels(*this, [Delta](TluxColor p) { return ChangeBrightness(p, Delta); });
}

void TluxBitmap::SetBitmapHue(int Hue)
{
    adjustVisiblePixels(*this, [Hue](TluxColor p) { return SetHue(p, Hue); });
}

void TluxBitmap::ChangeBitmapSat(int Delta)
{
    if (Delta != 0)
        adjustVisiblePixels(*this, [Delta](TluxColor p) { return ChangeSat(p, Delta); });
}

void TluxBitmap::ChangeBitmapHue(int Delta)
{
    if (Delta != 0)
        adjustVisiblePixels(*this, [Delta](TluxColor p) { return ChangeHue(p, Delta); });
}
