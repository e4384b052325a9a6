// The slide kind: every cell of the grid shows a cell of the new picture, moved into place and
// laid over the old picture by the cell's alpha.

#include "effects/engine/framecomposer.h"

#include "effects/util/cpufeatures.h"
#include "effects/util/rowbands.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"

#include <algorithm>
#include <cstring>

namespace {

// Leaves the blend primitive's packed state behind also when a procedure fails.
struct PackedStateReset {
    ~PackedStateReset() { EMMS(); }
};

struct CellRef {
    const TluxCell* record;
    int sx; // source cell column in the unrotated frame
    int sy;
};

// The record that belongs at cell (i, j) of the picture, and the source cell it names, both
// turned back from the generator's frame into the picture's.
template <TluxRotation Rotation>
inline CellRef cellAt(const TluxCell* cells, int c, int r, int i, int j)
{
    if constexpr (Rotation == krRotate90) {
        const TluxCell* rec = cells + (j + size_t(r) * (c - 1 - i));
        return {rec, c - 1 - rec->SourceY, rec->SourceX};
    } else if constexpr (Rotation == krRotate180) {
        const TluxCell* rec = cells + ((c - 1 - i) + size_t(c) * (r - 1 - j));
        return {rec, c - 1 - rec->SourceX, r - 1 - rec->SourceY};
    } else if constexpr (Rotation == krRotate270) {
        const TluxCell* rec = cells + ((r - 1 - j) + size_t(r) * i);
        return {rec, rec->SourceY, r - 1 - rec->SourceX};
    } else {
        const TluxCell* rec = cells + (i + size_t(c) * j);
        return {rec, rec->SourceX, rec->SourceY};
    }
}

// The pixels of a moved cell that have alpha: copied as they are (slides show key-colour pixels).
void copySeen(const TluxColor* in, TluxColor* out, int n)
{
    for (int x = 0; x < n; ++x) {
        const TluxColor s = in[x];
        out[x] = (s >> 24) != 0 ? s : out[x];
    }
}

// The same, laid over the old pixels with the cell's alpha w.
void blendSeen(const TluxColor* in, TluxColor* out, int n, uint8_t w)
{
    for (int x = 0; x < n; ++x) {
        const TluxColor s = in[x];
        if ((s >> 24) != 0)
            out[x] = PixelAlphaBlendFunc((s & 0x00FFFFFFu) | (TluxColor(w) << 24), out[x]);
    }
}

// One tile of the frame: its origin (gx, gy), the part of Dest its cells move (source left to
// right, top to bottom, inclusive) and the grid; and the rows of the work image (from bandTop
// up to bandEnd) that this pass writes.
struct SlideTile {
    TluxBitmap* work;
    const TluxBitmap* dest;
    const TluxCell* cells;
    int c, r, R;
    int gx, gy;
    int srcLeft, srcRight, srcTop, srcBottom;
    int bandTop, bandEnd;
};

template <TluxRotation Rotation>
void composeTile(const SlideTile& t)
{
    TluxBitmap* work = t.work;
    const TluxBitmap* dest = t.dest;
    const TluxCell* cells = t.cells;
    const int c = t.c, r = t.r, R = t.R, gx = t.gx, gy = t.gy;
    const int srcLeft = t.srcLeft, srcRight = t.srcRight, srcTop = t.srcTop, srcBottom = t.srcBottom;
    // Cell row j writes pixel rows gy + j * R .. gy + (j + 1) * R: only those that reach the band.
    const int firstRow = std::max(0, t.bandTop), lastRow = std::min(work->Height, t.bandEnd) - 1;
    const int jFrom = std::max(0, (firstRow - gy) / R - 1), jTo = std::min(r - 1, (lastRow - gy) / R);
    for (int j = jFrom; j <= jTo; ++j) {
        for (int i = 0; i < c;) {
            const CellRef cell = cellAt<Rotation>(cells, c, r, i, j);
            const uint8_t w = cell.record->Alpha;
            if (w == 0) {
                ++i;
                continue;
            }
            // Opaque cells that follow it in the row and move by the same vector write the
            // same source pixel to every pixel they share, so the run is copied at once:
            // the pixels it covers get exactly the bytes of the cells one by one.
            int last = i;
            if (w == 255) {
                while (last + 1 < c) {
                    const CellRef next = cellAt<Rotation>(cells, c, r, last + 1, j);
                    if (next.record->Alpha != 255 || next.sx - (last + 1) != cell.sx - i || next.sy != cell.sy)
                        break;
                    ++last;
                }
            }
            // Cell pixels px = i*R .. (last+1)*R inclusive (neighbours share borders),
            // cut so that target and source both stay inside their bounds.
            const int dx = gx + (cell.sx - i) * R; // source x = dx + px
            const int dy = gy + (cell.sy - j) * R;
            const int pxFrom = std::max({i * R, -gx, srcLeft - dx});
            const int pxTo = std::min({(last + 1) * R, work->Width - 1 - gx, srcRight - dx});
            const int pyFrom = std::max({j * R, firstRow - gy, srcTop - dy});
            const int pyTo = std::min({(j + 1) * R, lastRow - gy, srcBottom - dy});
            for (int py = pyFrom; py <= pyTo && pxFrom <= pxTo; ++py) {
                TluxColor* out = work->GetScanLine(gy + py) + (gx + pxFrom);
                const TluxColor* in = dest->GetScanLine(dy + py) + (dx + pxFrom);
                if (w == 255)
                    copySeen(in, out, pxTo - pxFrom + 1);
                else
                    blendSeen(in, out, pxTo - pxFrom + 1, w);
            }
            i = last + 1;
        }
    }
}

} // namespace

namespace luxcompose {

void composeSlide(TluxAnimationSlot& slot, int P)
{
    const PackedStateReset reset;
    const int c = slot.columns, r = slot.rows;
    const TluxRotation rotation = slot.settings->Rotation;
    const bool turned = rotation == krRotate90 || rotation == krRotate270;
    TluxCell* cells = slot.cells.get();
    std::memset(static_cast<void*>(cells), 0, size_t(c) * size_t(r) * sizeof(TluxCell));
    slot.effect->slideProc()(cells, turned ? r : c, turned ? c : r, uint8_t(P));

    TluxBitmap* work = slot.work.get();
    const TluxBitmap* dest = slot.dest;
    const int R = std::max(1, slot.settings->Resolution);
    const int T = std::max(1, slot.settings->TileCount);
    const int tw = work->Width / T, th = work->Height / T;

    // Each band writes only its own rows, and meets the cells and tiles in the order of the
    // whole frame, so a pixel that several cells reach gets the same last write.
    runInRowBands(work->Height, [&](int, int bandTop, int bandEnd) {
        const PackedStateReset bandReset;
        for (int h = 0; h < T; ++h) {
            for (int o = 0; o < T; ++o) {
                const int gx = (tw + 1) * h, gy = (th + 1) * o;
                // Source pixels come from the tile: its origin to the next tile's origin,
                // inclusive, and from Dest.
                const int srcLeft = std::max(gx, 0), srcRight = std::min(gx + tw + 1, dest->Width - 1);
                const int srcTop = std::max(gy, 0), srcBottom = std::min(gy + th + 1, dest->Height - 1);
                const SlideTile tile{work, dest,     cells,  c,         r,       R,      gx, gy,
                                     srcLeft, srcRight, srcTop, srcBottom, bandTop, bandEnd};
                switch (rotation) {
                case krRotate90: composeTile<krRotate90>(tile); break;
                case krRotate180: composeTile<krRotate180>(tile); break;
                case krRotate270: composeTile<krRotate270>(tile); break;
                case krNone: composeTile<krNone>(tile); break;
                }
            }
        }
    });
}

} // namespace luxcompose
