// Nearest-neighbour stretching and block copies between pixel memories.
//
// Sampling: when the destination is at least 2 wide, the column factor is
// fx = (sw - 1) / (dw - 1) as a 32-bit float and destination column i (counted
// from the destination's left edge) takes source column R(i * fx + Src.Left);
// a 1-wide destination takes the middle column (Left + Right - 1) / 2. Rows
// likewise. R rounds half to even into device-bitmap memory and truncates into
// a TluxBitmap. The product and sum are exact in double precision.

#include "effects/bitmap/stretch.h"

#include "effects/bitmap/columngather.h"
#include "effects/bitmap/dispatch.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/util/rowbands.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace luxraster {

namespace {

enum class Mode { Opaque, Transparent, AlphaBlend };
enum class Rounding { HalfEven, Truncate };

// Rows of a target memory: top-down, or bottom-up as a device bitmap stores them.
struct TargetRows {
    TluxColor* bits;
    int width;
    int height;
    bool bottomUp;
    TluxColor* row(int y) const { return bits + std::ptrdiff_t(bottomUp ? height - 1 - y : y) * width; }
};

struct SourceView {
    const TluxColor* bits;
    int width;
    const TluxColor* row(int y) const { return bits + std::ptrdiff_t(y) * width; }
};

LineProc lineFor(Mode mode)
{
    return mode == Mode::Transparent ? LineTransparentFunc : LineAlphaBlendFunc;
}

// Clip := Clip ∩ target ∩ Dst; false when nothing is left or Src does not lie
// inside the source (or is empty, which would make the sampling leave it).
bool prepare(TRect& clip, const TRect& dst, int tw, int th, const TRect& src, int sourceWidth, int sourceHeight)
{
    TRect c;
    if (!IntersectRect(c, clip, TRect(0, 0, tw, th)) || !IntersectRect(c, c, dst))
        return false;
    if (src.Left < 0 || src.Top < 0 || src.Right > sourceWidth || src.Bottom > sourceHeight)
        return false;
    if (src.Width() <= 0 || src.Height() <= 0)
        return false;
    clip = c;
    return true;
}

int roundIndex(double v, Rounding rounding)
{
    return int(rounding == Rounding::HalfEven ? std::nearbyint(v) : std::trunc(v));
}

// Source index of destination index k (0 = the destination's first) along one axis.
struct Axis {
    float factor = 0;
    bool single = false;
    int middle = 0;
    int first = 0;
    int last = 0;

    Axis(int srcStart, int srcEnd, int dstSize)
        : single(dstSize < 2), middle((srcStart + srcEnd - 1) / 2), first(srcStart), last(srcEnd - 1)
    {
        if (!single)
            factor = float(srcEnd - srcStart - 1) / float(dstSize - 1);
    }
    int at(int k, Rounding rounding) const
    {
        if (single)
            return middle;
        // A factor rounded up could reach one past the last column for huge sizes.
        return std::clamp(roundIndex(double(k) * double(factor) + first, rounding), first, last);
    }
};

// The copy for an opaque block of w x h pixels between pictures apart: the one that writes past
// the cache when both blocks together exceed it (and the copy slot is the library's), else null.
MoveLongwordProc streamingCopy(int w, int h)
{
    const LuxDispatch& table = luxDispatch();
    if (!table.moveStreaming || MoveLongwordFunc != table.moveLongword)
        return nullptr;
    return passExceedsCache(2 * size_t(w) * size_t(h) * sizeof(TluxColor)) ? table.moveStreaming : nullptr;
}

// Whether the memory of the target's rows top .. top + h - 1 (from column left, w wide) and that
// of the source's rows sy .. sy + sh - 1 meet.
bool rowsMeet(const TargetRows& target, int left, int top, int w, int h, const SourceView& source, int sy, int sh)
{
    const auto span = [](const TluxColor* a, const TluxColor* b, int width) {
        return std::pair{std::min(a, b), std::max(a, b) + width};
    };
    const auto [t0, t1] = span(target.row(top) + left, target.row(top + h - 1) + left, w);
    const auto [s0, s1] = span(source.row(sy), source.row(sy + sh - 1), source.width);
    return t0 < s1 && s0 < t1;
}

// Nearest-neighbour sampling of Src onto the clipped destination (callers clip). Rows are
// independent when the target's memory does not meet the source's, so a large stretch runs in
// row bands on the engine's pool. (Writing the gathered rows past the cache, as the equal-size
// copy does, was measured slower here: the gather's own stores keep the target's lines.)
void sample(const TargetRows& target, const TRect& dst, const TRect& clip, const SourceView& source, const TRect& src,
            Mode mode, Rounding rounding)
{
    const int cw = clip.Width(), ch = clip.Height();
    const Axis ax(src.Left, src.Right, dst.Width());
    const Axis ay(src.Top, src.Bottom, dst.Height());
    std::vector<int> columns(static_cast<size_t>(cw));
    for (int i = 0; i < cw; ++i)
        columns[size_t(i)] = ax.at(clip.Left + i - dst.Left, rounding);
    const ColumnGather gather(columns, source.width);
    const LineProc line = mode == Mode::Opaque ? nullptr : lineFor(mode);

    const auto rows = [&](int, int begin, int end) {
        TArrayOfluxColor scratch;
        if (line)
            scratch.resize(size_t(cw));
        int previousY = INT_MIN;
        const TluxColor* previousRow = nullptr;
        for (int j = begin; j < end; ++j) {
            const int y = clip.Top + j;
            const int Y = ay.at(y - dst.Top, rounding);
            TluxColor* out = target.row(y) + clip.Left;
            if (!line) {
                if (Y == previousY)
                    MoveLongwordFunc(previousRow, out, cw);
                else
                    gather.run(source.row(Y), out);
                previousRow = out;
            } else {
                if (Y != previousY)
                    gather.run(source.row(Y), scratch.data());
                line(scratch.data(), out, cw);
            }
            previousY = Y;
        }
    };
    if (rowsMeet(target, clip.Left, clip.Top, cw, ch, source, src.Top, src.Height()))
        rows(0, 0, ch);
    else
        runInRowBands(ch, rows);
}

// Rows are independent, so a large block (a frame drawn onto the screen) is copied in row bands
// on the engine's pool, unless target and source share memory and the order of rows matters.
void copyBlock(const TargetRows& target, const TRect& clip, const SourceView& source, int sx, int sy, Mode mode)
{
    const int cw = clip.Width();
    const auto copyRows = [&](int, int begin, int end) {
        for (int y = clip.Top + begin; y < clip.Top + end; ++y) {
            const TluxColor* in = source.row(sy + y - clip.Top) + sx;
            TluxColor* out = target.row(y) + clip.Left;
            if (mode == Mode::Opaque)
                MoveLongwordFunc(in, out, cw);
            else
                lineFor(mode)(in, out, cw);
        }
    };
    if (rowsMeet(target, clip.Left, clip.Top, cw, clip.Height(), source, sy, clip.Height())) {
        copyRows(0, 0, clip.Height());
        return;
    }
    const MoveLongwordProc streaming = mode == Mode::Opaque ? streamingCopy(cw, clip.Height()) : nullptr;
    if (streaming)
        runInRowBands(clip.Height(), [&](int, int begin, int end) {
            for (int y = clip.Top + begin; y < clip.Top + end; ++y)
                streaming(source.row(sy + y - clip.Top) + sx, target.row(y) + clip.Left, cw);
        });
    else
        runInRowBands(clip.Height(), copyRows);
}

BltProc bltFor(Mode mode)
{
    switch (mode) {
    case Mode::Opaque: return BltOpaqueFunc;
    case Mode::Transparent: return BltTransparentFunc;
    case Mode::AlphaBlend: return BltAlphaBlendFunc;
    }
    return BltOpaqueFunc;
}

void stretchToBitmap(TluxBitmap* target, const TRect& dst, const TRect& clipIn, const TRect& src,
                     const TluxBitmap* source, Mode mode)
{
    if (!target || !source || target->Empty() || source->Empty())
        return;
    TRect clip = clipIn;
    if (!prepare(clip, dst, target->Width, target->Height, src, source->Width, source->Height))
        return;
    if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
        bltFor(mode)(target, clip, source, src.Left + clip.Left - dst.Left, src.Top + clip.Top - dst.Top);
        return;
    }
    const TargetRows rows{target->Bits, target->Width, target->Height, false};
    if (target != source) {
        sample(rows, dst, clip, SourceView{source->Bits, source->Width}, src, mode, Rounding::Truncate);
        return;
    }
    // Drawing onto itself: sample from a copy of the source rectangle.
    const int sw = src.Width(), sh = src.Height();
    std::vector<TluxColor> copy(size_t(sw) * size_t(sh));
    for (int y = 0; y < sh; ++y)
        MoveLongwordFunc(source->GetPixelPtr(src.Left, src.Top + y), copy.data() + size_t(y) * size_t(sw), sw);
    sample(rows, dst, clip, SourceView{copy.data(), sw}, TRect(0, 0, sw, sh), mode, Rounding::Truncate);
}

void stretchToDib(TluxColor* bits, const TRect& dst, const TRect& clipIn, int width, int height,
                  const TluxBitmap* source, const TRect& src, Mode mode)
{
    if (!bits || !source || source->Empty() || width <= 0 || height == 0)
        return;
    const int rowsCount = height < 0 ? -height : height;
    TRect clip = clipIn;
    if (!prepare(clip, dst, width, rowsCount, src, source->Width, source->Height))
        return;
    const TargetRows rows{bits, width, rowsCount, height > 0};
    const SourceView view{source->Bits, source->Width};
    if (dst.Width() == src.Width() && dst.Height() == src.Height())
        copyBlock(rows, clip, view, src.Left + clip.Left - dst.Left, src.Top + clip.Top - dst.Top, mode);
    else
        sample(rows, dst, clip, view, src, mode, Rounding::HalfEven);
}

// Equal-size copy within or between bitmaps. The target rectangle and the
// source block are cut to both bitmaps. When target and source are the same
// bitmap the rows are walked away from the overlap, and a row that overlaps
// itself goes through a scratch copy, so the result is as if the source
// block had been copied out first.
void blt(TluxBitmap* target, const TRect& targetRect, const TluxBitmap* source, int sx, int sy, Mode mode)
{
    if (!target || !source || target->Empty() || source->Empty())
        return;
    TRect r;
    if (!IntersectRect(r, targetRect, target->BoundsRect()))
        return;
    sx += r.Left - targetRect.Left;
    sy += r.Top - targetRect.Top;
    // Cut the source block to the source bitmap, moving the target with it.
    TRect s(sx, sy, sx + r.Width(), sy + r.Height()), cut;
    if (!IntersectRect(cut, s, source->BoundsRect()))
        return;
    r = TRect(r.Left + cut.Left - sx, r.Top + cut.Top - sy, r.Left + cut.Right - sx, r.Top + cut.Bottom - sy);
    sx = cut.Left;
    sy = cut.Top;

    const int w = r.Width(), h = r.Height();
    const bool same = target->Bits == source->Bits;
    const bool upward = same && sy < r.Top;
    const bool rowOverlap = same && sy == r.Top && sx != r.Left && std::abs(sx - r.Left) < w;
    const TluxColor* sourceEnd = source->GetPixelPtr(sx, sy + h - 1) + w;
    const TluxColor* targetEnd = target->GetPixelPtr(r.Left, r.Top + h - 1) + w;
    const bool apart = sourceEnd <= target->GetPixelPtr(r.Left, r.Top) || targetEnd <= source->GetPixelPtr(sx, sy);
    if (apart) {
        // Memory apart: rows are independent, so a large block goes in row bands on the pool.
        const LineProc line = mode == Mode::Opaque ? nullptr : lineFor(mode);
        const MoveLongwordProc move = line ? nullptr : streamingCopy(w, h);
        runInRowBands(h, [&](int, int begin, int end) {
            for (int j = begin; j < end; ++j) {
                const TluxColor* in = source->GetPixelPtr(sx, sy + j);
                TluxColor* out = target->GetPixelPtr(r.Left, r.Top + j);
                if (line)
                    line(in, out, w);
                else
                    (move ? move : MoveLongwordFunc)(in, out, w);
            }
        });
        return;
    }
    TArrayOfluxColor scratch;
    if (rowOverlap && mode != Mode::Opaque)
        scratch.resize(size_t(w));
    for (int k = 0; k < h; ++k) {
        const int j = upward ? h - 1 - k : k;
        const TluxColor* in = source->GetPixelPtr(sx, sy + j);
        TluxColor* out = target->GetPixelPtr(r.Left, r.Top + j);
        if (mode == Mode::Opaque) {
            MoveLongwordFunc(in, out, w); // a move: overlapping rows are fine
            continue;
        }
        if (!scratch.empty()) {
            MoveLongwordFunc(in, scratch.data(), w);
            in = scratch.data();
        }
        lineFor(mode)(in, out, w);
    }
}

} // namespace

void stretchOpaque(TluxBitmap* Target, const TRect& Dst, const TRect& Clip, const TRect& Src, const TluxBitmap* Source)
{
    stretchToBitmap(Target, Dst, Clip, Src, Source, Mode::Opaque);
}

void stretchTransparent(TluxBitmap* Target, const TRect& Dst, const TRect& Clip, const TRect& Src,
                        const TluxBitmap* Source)
{
    stretchToBitmap(Target, Dst, Clip, Src, Source, Mode::Transparent);
}

void stretchAlphaBlend(TluxBitmap* Target, const TRect& Dst, const TRect& Clip, const TRect& Src,
                       const TluxBitmap* Source)
{
    stretchToBitmap(Target, Dst, Clip, Src, Source, Mode::AlphaBlend);
}

void stretchToDibOpaque(TluxColor* Bits, const TRect& Dst, const TRect& Clip, int Width, int Height,
                        const TluxBitmap* Source, const TRect& Src)
{
    stretchToDib(Bits, Dst, Clip, Width, Height, Source, Src, Mode::Opaque);
}

void stretchToDibTransparent(TluxColor* Bits, const TRect& Dst, const TRect& Clip, int Width, int Height,
                             const TluxBitmap* Source, const TRect& Src)
{
    stretchToDib(Bits, Dst, Clip, Width, Height, Source, Src, Mode::Transparent);
}

void stretchToDibAlphaBlend(TluxColor* Bits, const TRect& Dst, const TRect& Clip, int Width, int Height,
                            const TluxBitmap* Source, const TRect& Src)
{
    stretchToDib(Bits, Dst, Clip, Width, Height, Source, Src, Mode::AlphaBlend);
}

void bltOpaque(TluxBitmap* Target, const TRect& TargetRect, const TluxBitmap* Source, int SX, int SY)
{
    blt(Target, TargetRect, Source, SX, SY, Mode::Opaque);
}

void bltTransparent(TluxBitmap* Target, const TRect& TargetRect, const TluxBitmap* Source, int SX, int SY)
{
    blt(Target, TargetRect, Source, SX, SY, Mode::Transparent);
}

void bltAlphaBlend(TluxBitmap* Target, const TRect& TargetRect, const TluxBitmap* Source, int SX, int SY)
{
    blt(Target, TargetRect, Source, SX, SY, Mode::AlphaBlend);
}

} // namespace luxraster
