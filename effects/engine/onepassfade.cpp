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
#include "effects/bitmap/dispatch.h"
#include "effects/bitmap/stretch.h"
#include "effects/util/rowbands.h"

#include <algorithm>

namespace {

// The fused row of the blend the row slot holds, or null: the table has fused rows only where
// the processor runs them, and a row blend of the caller's own in the slot gets the separate
// steps, which call it.
luxraster::FadeRowProc fusedRow(const LuxDispatch& table, bool streaming)
{
    if (LineAlphaBlendFunc == table.lineBlendPacked)
        return streaming && table.fadeRowPackedStreaming ? table.fadeRowPackedStreaming : table.fadeRowPacked;
    if (LineAlphaBlendFunc == table.lineBlendPlain)
        return streaming && table.fadeRowPlainStreaming ? table.fadeRowPlainStreaming : table.fadeRowPlain;
    return nullptr;
}

} // namespace

namespace luxcompose {

bool onePassAvailable()
{
    const LuxDispatch& table = luxDispatch();
    return ClearAlphaFunc == table.clearAlpha && StretchAlphaBlendFunc == table.stretchAlphaBlend &&
           BltAlphaBlendFunc == table.bltAlphaBlend && MoveLongwordFunc == table.moveLongword &&
           (LineAlphaBlendFunc == table.lineBlendPacked || LineAlphaBlendFunc == table.lineBlendPlain);
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

bool onePassFade(TluxAnimationSlot& slot, bool copySource, const MaskRowPlan* rows)
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
    const LuxDispatch& table = luxDispatch();
    // Source, Dest and the frame together larger than the cache: the frame's rows are written
    // past the cache (only where the work image starts as a copy of Source, so no row of it is
    // read first).
    const bool streaming = copySource && passExceedsCache(3 * size_t(width) * size_t(height) * sizeof(TluxColor));
    const luxraster::FadeRowProc fused = copySource ? fusedRow(table, streaming) : nullptr;
    const MoveLongwordProc copyRow = streaming && table.moveStreaming ? table.moveStreaming : MoveLongwordFunc;
    // One row buffer per thread; rows are independent, so the bands give the bytes of one pass.
    const size_t threads = size_t(rowBandThreads());
    if (slot.rowBuffer.size() < size_t(cw) * threads)
        slot.rowBuffer.resize(size_t(cw) * threads);
    if (rows && slot.maskRowBuffer.size() < size_t(c) * threads)
        slot.maskRowBuffer.resize(size_t(c) * threads);
    runInRowBands(height, [&](int thread, int firstRow, int endRow) {
        TluxColor* buffer = slot.rowBuffer.data() + size_t(thread) * size_t(cw);
        uint8_t* madeRow = rows ? slot.maskRowBuffer.data() + size_t(thread) * size_t(c) : nullptr;
        int made = -1; // the mask row madeRow holds
        for (int y = firstRow; y < endRow; ++y) {
            TluxColor* out = work->GetScanLine(y);
            const TluxColor* old = source->GetScanLine(y);
            const int64_t k = y % tileHeight;
            const int m = int((k * ystep) >> 16);
            const uint8_t* maskRow = nullptr;
            if (y < ch && rows) {
                // Made here, so that it is still in cache when it is blended.
                if (m != made)
                    rows->row(madeRow, m);
                made = m;
                maskRow = madeRow;
            } else if (y < ch) {
                maskRow = mask + size_t(m) * size_t(c);
            }
            // A row the mask leaves wholly old (or that Dest does not reach) keeps the old picture.
            if (!maskRow || table.allZero(maskRow, c)) {
                if (copySource)
                    copyRow(old, out, width);
                continue;
            }
            const TluxColor* in = dest->GetScanLine(y);
            if (fused) {
                const uint8_t* alpha = maskRow;
                if (!identity) {
                    // The row's alpha bytes, gathered into the row buffer's memory.
                    auto* bytes = reinterpret_cast<uint8_t*>(buffer);
                    const int* map = slot.columnMap.data();
                    for (int x = 0; x < cw; ++x)
                        bytes[x] = maskRow[map[x]];
                    alpha = bytes;
                }
                fused(old, in, alpha, out, cw);
                if (cw < width)
                    copyRow(old + cw, out + cw, width - cw);
                continue;
            }
            if (copySource)
                MoveLongwordFunc(old, out, width); // read again by the blend: through the cache
            if (identity) {
                table.stampRow(in, maskRow, buffer, cw);
            } else {
                const int* map = slot.columnMap.data();
                for (int x = 0; x < cw; ++x) {
                    const TluxColor colour = in[x] & 0x00FFFFFFu;
                    buffer[x] = colour == luxTransparent ? colour : colour | (TluxColor(maskRow[map[x]]) << 24);
                }
            }
            LineAlphaBlendFunc(buffer, out, cw);
        }
    });
    dest->AlphaBlend = true;
    slot.destAlphaPending = true;
    return true;
}

} // namespace luxcompose
