// The slide kind: every cell of the grid shows a cell of the new picture, moved into place and
// laid over the old picture by the cell's alpha.

#include "framecomposer.h"

#include "cpufeatures.h"
#include "effectregistry.h"
#include "luxanimationrec.h"
#include "luxbitmap.h"

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
CellRef cellAt(const TluxCell* cells, int c, int r, TluxRotation rotation, int i, int j)
{
    switch (rotation) {
    case krRotate90: {
        const TluxCell* rec = cells + (j + size_t(r) * (c - 1 - i));
        return {rec, c - 1 - rec->SourceY, rec->SourceX};
    }
    case krRotate180: {
        const TluxCell* rec = cells + ((c - 1 - i) + size_t(c) * (r - 1 - j));
        return {rec, c - 1 - rec->SourceX, r - 1 - rec->SourceY};
    }
    case krRotate270: {
        const TluxCell* rec = cells + ((r - 1 - j) + size_t(r) * i);
        return {rec, rec->SourceY, r - 1 - rec->SourceX};
    }
    case krNone: break;
    }
    const TluxCell* rec = cells + (i + size_t(c) * j);
    return {rec, rec->SourceX, rec->SourceY};
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

    for (int h = 0; h < T; ++h) {
        for (int o = 0; o < T; ++o) {
            const int gx = (tw + 1) * h, gy = (th + 1) * o;
            // Source pixels come from the tile: its origin to the next tile's origin, inclusive,
            // and from Dest.
            const int srcLeft = std::max(gx, 0), srcRight = std::min(gx + tw + 1, dest->Width - 1);
            const int srcTop = std::max(gy, 0), srcBottom = std::min(gy + th + 1, dest->Height - 1);
            for (int j = 0; j < r; ++j) {
                for (int i = 0; i < c; ++i) {
                    const CellRef cell = cellAt(cells, c, r, rotation, i, j);
                    const uint8_t w = cell.record->Alpha;
                    if (w == 0)
                        continue;
                    // Cell pixels px = i*R .. (i+1)*R inclusive (neighbours share borders),
                    // cut so that target and source both stay inside their bounds.
                    const int dx = gx + (cell.sx - i) * R; // source x = dx + px
                    const int dy = gy + (cell.sy - j) * R;
                    const int pxFrom = std::max({i * R, -gx, srcLeft - dx});
                    const int pxTo = std::min({(i + 1) * R, work->Width - 1 - gx, srcRight - dx});
                    const int pyFrom = std::max({j * R, -gy, srcTop - dy});
                    const int pyTo = std::min({(j + 1) * R, work->Height - 1 - gy, srcBottom - dy});
                    for (int py = pyFrom; py <= pyTo; ++py) {
                        TluxColor* outRow = work->GetScanLine(gy + py);
                        const TluxColor* inRow = dest->GetScanLine(dy + py);
                        for (int px = pxFrom; px <= pxTo; ++px) {
                            const TluxColor s = inRow[dx + px];
                            TluxColor& target = outRow[gx + px];
                            if ((s >> 24) == 0)
                                continue;
                            if (w == 255)
                                target = s;
                            else
                                target = PixelAlphaBlendFunc((s & 0x00FFFFFFu) | (TluxColor(w) << 24), target);
                        }
                    }
                }
            }
        }
    }
}

} // namespace luxcompose
