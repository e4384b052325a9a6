// TluxBitmap's secondary operations on its pixels: tiling a part of it over a
// rectangle of a target, merging another bitmap underneath it, turning it
// upside down, and the whole-bitmap colour adjustments.

#include "effects/bitmap/luxbitmap.h"

#include "effects/bitmap/hslcolor.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Visits the cells of a tiling of Dst with w x h copies: columns left to
// right, rows top to bottom, each cell cut to Dst. A cell is drawn when Clip is
// empty or the cut cell intersects it; the source part is the top-left corner
// of Src of the cut cell's size (the whole Src for a full cell). Cells lying
// wholly outside Visible (the target's area) would draw nothing and are not
// visited, so a huge Dst costs no more than the target's own size.
template <typename DrawCell>
void forEachTileCell(const TRect& Dst, const TRect& Src, const TRect& Clip, const TRect& Visible, DrawCell drawCell)
{
    const int64_t w = int64_t(Src.Right) - Src.Left, h = int64_t(Src.Bottom) - Src.Top;
    if (w <= 0 || h <= 0 || IsRectEmptyRaw(Dst))
        return;
    const bool clipped = !IsRectEmptyRaw(Clip);
    // The first cell that reaches into Visible, counted in whole cells from Dst's corner.
    const auto firstCell = [](int64_t start, int64_t size, int64_t visibleStart) {
        return visibleStart <= start ? start : start + (visibleStart - start) / size * size;
    };
    const int64_t endX = std::min<int64_t>(Dst.Right, Visible.Right);
    const int64_t endY = std::min<int64_t>(Dst.Bottom, Visible.Bottom);
    for (int64_t left = firstCell(Dst.Left, w, Visible.Left); left < endX; left += w) {
        const int64_t cellRight = std::min<int64_t>(left + w, Dst.Right);
        for (int64_t top = firstCell(Dst.Top, h, Visible.Top); top < endY; top += h) {
            const int64_t cellBottom = std::min<int64_t>(top + h, Dst.Bottom);
            // A source part past the integer range lies outside every bitmap.
            if (Src.Left + (cellRight - left) > INT32_MAX || Src.Top + (cellBottom - top) > INT32_MAX ||
                cellRight - left > INT32_MAX || cellBottom - top > INT32_MAX)
                continue;
            const TRect cell{int(left), int(top), int(cellRight), int(cellBottom)};
            if (clipped) {
                TRect common;
                if (!IntersectRect(common, cell, Clip))
                    continue;
            }
            drawCell(cell, TRect(Src.Left, Src.Top, int(Src.Left + (cellRight - left)), int(Src.Top + (cellBottom - top))));
        }
    }
}

// The logical area a device context can show: its image moved by the window origin.
TRect visibleArea(HDC dc)
{
    const QImage* image = dc->image();
    if (!image)
        return TRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    const TPoint origin = dc->windowOrigin();
    const auto clampInt = [](int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return TRect(origin.X, origin.Y, clampInt(int64_t(origin.X) + image->width()),
                 clampInt(int64_t(origin.Y) + image->height()));
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
    forEachTileCell(Dst, Src, Clip, visibleArea(TargetDC),
                    [&](const TRect& cell, const TRect& part) { Draw(TargetDC, cell, part); });
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
    forEachTileCell(Dst, Src, Clip, Target->BoundsRect(),
                    [&](const TRect& cell, const TRect& part) { Draw(Target, cell, part); });
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
