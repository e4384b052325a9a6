// The slide kind: every cell of the grid shows a cell of the new picture, moved into place and
// laid over the old picture by the cell's alpha.

#include "effects/engine/framecomposer.h"

#include "effects/util/rowbands.h"
#include "effects/engine/builtineffects.h"
#include "effects/masks/cellruns.h"
#include "effects/engine/effectregistry.h"
#include "effects/engine/luxanimationrec.h"
#include "effects/engine/seenpixels.h"
#include "effects/bitmap/luxbitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct CellRef {
    const TluxCell* record;
    int sx; // source cell column in the unrotated frame
    int sy;
};

// The record that belongs at cell (i, j) of the picture, and the source cell it names, both
// turned back from the generator's frame into the picture's. `line` is what Lines gives for
// row j: the generator's row that holds picture row j without rotation and turned by 180
// degrees (read backwards then), the whole grid for the quarter turns (read down a column).
template <TluxRotation Rotation>
inline CellRef cellAt(const TluxCell* line, int c, int r, int i, int j)
{
    if constexpr (Rotation == krRotate90) {
        const TluxCell* rec = line + (j + size_t(r) * (c - 1 - i));
        return {rec, c - 1 - rec->SourceY, rec->SourceX};
    } else if constexpr (Rotation == krRotate180) {
        const TluxCell* rec = line + (c - 1 - i);
        return {rec, c - 1 - rec->SourceX, r - 1 - rec->SourceY};
    } else if constexpr (Rotation == krRotate270) {
        const TluxCell* rec = line + ((r - 1 - j) + size_t(r) * i);
        return {rec, rec->SourceY, r - 1 - rec->SourceX};
    } else {
        const TluxCell* rec = line + i;
        return {rec, rec->SourceX, rec->SourceY};
    }
}

// The generator's rows of picture rows: krNone keeps rows in place, krRotate180 turns row j
// into row r - 1 - j.
template <TluxRotation Rotation>
constexpr int generatorRow(int r, int j)
{
    return Rotation == krRotate180 ? r - 1 - j : j;
}

// Picture rows read from the whole grid the slide procedure filled.
template <TluxRotation Rotation>
struct GridLines {
    const TluxCell* cells;
    int c, r;

    const TluxCell* operator()(int j) const
    {
        if constexpr (Rotation == krRotate90 || Rotation == krRotate270)
            return cells;
        else
            return cells + size_t(c) * size_t(generatorRow<Rotation>(r, j));
    }
};

// Picture rows made one at a time by the effect's row form into a buffer of one row, cleared
// as the grid would be: the same records as the grid, without the grid. Rows keep rows only
// without rotation or turned by 180 degrees.
template <TluxRotation Rotation>
struct GeneratedLines {
    static_assert(Rotation == krNone || Rotation == krRotate180);
    SlideRowProc rowForm;
    TluxCell* buffer; // c records
    int c, r;
    uint8_t P;
    int made = -1; // the generator row the buffer holds

    const TluxCell* operator()(int j)
    {
        const int y = generatorRow<Rotation>(r, j);
        if (y != made) {
            std::memset(static_cast<void*>(buffer), 0, size_t(c) * sizeof(TluxCell));
            rowForm(buffer, c, r, y, P);
            made = y;
        }
        return buffer;
    }
};

// How many cells from (i, j) on, at most to the row's end, are opaque and move by the vector of
// cell (i, j), which is opaque: the records lie side by side in the generator's row (forwards,
// or backwards when turned by 180 degrees), or down a column of the grid for the quarter turns.
template <TluxRotation Rotation>
int runFrom(const TluxCell* line, int c, int r, int i, int j, const CellRef& cell)
{
    if constexpr (Rotation == krNone) {
        return cellruns::runLength(cell.record, c - i, cell.record->SourceX, cell.record->SourceY);
    } else if constexpr (Rotation == krRotate180) {
        return cellruns::runLengthBackwards(cell.record, c - i, cell.record->SourceX, cell.record->SourceY);
    } else {
        int last = i;
        while (last + 1 < c) {
            const CellRef next = cellAt<Rotation>(line, c, r, last + 1, j);
            if (next.record->Alpha != 255 || next.sx - (last + 1) != cell.sx - i || next.sy != cell.sy)
                break;
            ++last;
        }
        return last - i + 1;
    }
}

// How many cells from (i, j) on, at most n, have alpha 0, like cell (i, j); one for the quarter
// turns, whose rows are not side by side.
template <TluxRotation Rotation>
int clearFrom(const CellRef& cell, int n)
{
    if constexpr (Rotation == krNone)
        return cellruns::clearLength(cell.record, n);
    else if constexpr (Rotation == krRotate180)
        return cellruns::clearLengthBackwards(cell.record, n);
    else
        return 1;
}

// The pixels of a moved cell that have alpha, laid over the old pixels with the cell's alpha w.
void blendSeen(const TluxColor* in, TluxColor* out, int n, uint8_t w)
{
    for (int x = 0; x < n; ++x) {
        const TluxColor s = in[x];
        if ((s >> 24) != 0)
            out[x] = PixelAlphaBlendFunc((s & 0x00FFFFFFu) | (TluxColor(w) << 24), out[x]);
    }
}

// One tile of the frame: its origin (gx, gy), the part of Dest its cells move (source left to
// right, top to bottom, inclusive) and the grid; and the rows of the work image (firstRow to
// lastRow) that this pass writes.
struct SlideTile {
    TluxBitmap* work;
    const TluxBitmap* dest;
    int c, r, R;
    int gx, gy;
    int srcLeft, srcRight, srcTop, srcBottom;
    int firstRow, lastRow; // of the work image, inclusive
};

// A run of cells of one cell row moved by one vector, cut to the pixels it may write: tile
// pixels px = pxFrom .. pxTo, py = pyFrom .. pyTo (inclusive) take the source pixels
// (dx + px, dy + py), copied at w = 255 and blended by w otherwise.
struct MovedRun {
    int pxFrom, pxTo, pyFrom, pyTo;
    int dx, dy;
    uint8_t w;

    bool reaches(int py) const { return pyFrom <= py && py <= pyTo; }
};

// The runs of cell row j that write pixels, in the row's order.
template <TluxRotation Rotation>
void collectRuns(const SlideTile& t, const TluxCell* line, int j, std::vector<MovedRun>& runs)
{
    const int c = t.c, r = t.r, R = t.R, gx = t.gx, gy = t.gy;
    runs.clear();
    for (int i = 0; i < c;) {
        const CellRef cell = cellAt<Rotation>(line, c, r, i, j);
        const uint8_t w = cell.record->Alpha;
        if (w == 0) {
            i += clearFrom<Rotation>(cell, c - i);
            continue;
        }
        // Opaque cells that follow it in the row and move by the same vector write the
        // same source pixel to every pixel they share, so the run is copied at once:
        // the pixels it covers get exactly the bytes of the cells one by one.
        int last = i;
        if (w == 255)
            last = i - 1 + runFrom<Rotation>(line, c, r, i, j, cell);
        // Cell pixels px = i*R .. (last+1)*R inclusive (neighbours share borders),
        // cut so that target and source both stay inside their bounds.
        MovedRun m;
        m.dx = gx + (cell.sx - i) * R; // source x = dx + px
        m.dy = gy + (cell.sy - j) * R;
        m.w = w;
        m.pxFrom = std::max({i * R, -gx, t.srcLeft - m.dx});
        m.pxTo = std::min({(last + 1) * R, t.work->Width - 1 - gx, t.srcRight - m.dx});
        m.pyFrom = std::max({j * R, t.firstRow - gy, t.srcTop - m.dy});
        m.pyTo = std::min({(j + 1) * R, t.lastRow - gy, t.srcBottom - m.dy});
        if (m.pxFrom <= m.pxTo && m.pyFrom <= m.pyTo)
            runs.push_back(m);
        i = last + 1;
    }
}

// Tile pixel row py as run m writes it.
void writeRow(const SlideTile& t, const MovedRun& m, int py)
{
    if (!m.reaches(py))
        return;
    TluxColor* out = t.work->GetScanLine(t.gy + py) + (t.gx + m.pxFrom);
    const TluxColor* in = t.dest->GetScanLine(m.dy + py) + (m.dx + m.pxFrom);
    if (m.w == 255)
        seenpixels::copySeen(in, out, m.pxTo - m.pxFrom + 1);
    else
        blendSeen(in, out, m.pxTo - m.pxFrom + 1, m.w);
}

// Tile pixel row py as the copied run a and then the copied run b write it, in one pass over
// the pixels both reach.
void writeRowTwice(const SlideTile& t, const MovedRun& a, const MovedRun& b, int py)
{
    TluxColor* out = t.work->GetScanLine(t.gy + py) + t.gx;
    const TluxColor* inA = t.dest->GetScanLine(a.dy + py) + a.dx;
    const TluxColor* inB = t.dest->GetScanLine(b.dy + py) + b.dx;
    const auto copy = [&](const TluxColor* in, int from, int to) {
        if (from <= to)
            seenpixels::copySeen(in + from, out + from, to - from + 1);
    };
    const int bothFrom = std::max(a.pxFrom, b.pxFrom), bothTo = std::min(a.pxTo, b.pxTo);
    copy(inA, a.pxFrom, std::min(a.pxTo, b.pxFrom - 1));
    copy(inA, std::max(a.pxFrom, b.pxTo + 1), a.pxTo);
    copy(inB, b.pxFrom, std::min(b.pxTo, a.pxFrom - 1));
    copy(inB, std::max(b.pxFrom, a.pxTo + 1), b.pxTo);
    if (bothFrom <= bothTo)
        seenpixels::copySeenTwice(inA + bothFrom, inB + bothFrom, out + bothFrom, bothTo - bothFrom + 1);
}

template <TluxRotation Rotation, typename Lines>
void composeTile(const SlideTile& t, Lines& lines)
{
    const int r = t.r, R = t.R, gy = t.gy;
    // Cell row j writes pixel rows gy + j * R .. gy + (j + 1) * R: only those that reach the band.
    const int jFrom = std::max(0, (t.firstRow - gy) / R - 1), jTo = std::min(r - 1, (t.lastRow - gy) / R);
    // Pixel row j * R is the bottom border of cell row j - 1 and the top of cell row j: it is
    // written when both rows' runs are known, the earlier row's first, and in one pass when
    // each row has one copied run there. The other pixel rows see one cell row only.
    thread_local std::vector<MovedRun> above, runs;
    above.clear();
    for (int j = jFrom; j <= jTo; ++j) {
        collectRuns<Rotation>(t, lines(j), j, runs);
        const int border = j * R;
        if (above.size() == 1 && runs.size() == 1 && above[0].w == 255 && runs[0].w == 255 && above[0].reaches(border)
            && runs[0].reaches(border)) {
            writeRowTwice(t, above[0], runs[0], border);
        } else {
            for (const MovedRun& m : above)
                writeRow(t, m, border);
            for (const MovedRun& m : runs)
                writeRow(t, m, border);
        }
        for (int py = border + 1; py < border + R; ++py)
            for (const MovedRun& m : runs)
                writeRow(t, m, py);
        std::swap(above, runs);
    }
    for (const MovedRun& m : above)
        writeRow(t, m, (jTo + 1) * R);
}

// The tiles of one band of rows, in the frame's order, with the picture rows Lines gives.
template <TluxRotation Rotation, typename Lines>
void composeBand(const TluxAnimationSlot& slot, Lines& lines, int bandTop, int bandEnd)
{
    TluxBitmap* work = slot.work.get();
    const TluxBitmap* dest = slot.dest;
    const int R = std::max(1, slot.settings->Resolution);
    const int T = std::max(1, slot.settings->TileCount);
    const int tw = work->Width / T, th = work->Height / T;
    for (int h = 0; h < T; ++h) {
        for (int o = 0; o < T; ++o) {
            const int gx = (tw + 1) * h, gy = (th + 1) * o;
            // Source pixels come from the tile: its origin to the next tile's origin,
            // inclusive, and from Dest.
            const int srcLeft = std::max(gx, 0), srcRight = std::min(gx + tw + 1, dest->Width - 1);
            const int srcTop = std::max(gy, 0), srcBottom = std::min(gy + th + 1, dest->Height - 1);
            const int firstRow = std::max(0, bandTop), lastRow = std::min(work->Height, bandEnd) - 1;
            const SlideTile tile{work,   dest,     slot.columns, slot.rows, R,        gx,     gy,
                                 srcLeft, srcRight, srcTop,       srcBottom, firstRow, lastRow};
            composeTile<Rotation>(tile, lines);
        }
    }
}

// The band's picture rows from the slide procedure's whole grid.
template <TluxRotation Rotation>
void composeBandFromGrid(const TluxAnimationSlot& slot, int bandTop, int bandEnd)
{
    GridLines<Rotation> lines{slot.cells.get(), slot.columns, slot.rows};
    composeBand<Rotation>(slot, lines, bandTop, bandEnd);
}

// The band's picture rows made by the row form as they are needed. A cell row that reaches two
// bands is made in both.
template <TluxRotation Rotation>
void composeBandFromRows(const TluxAnimationSlot& slot, SlideRowProc rowForm, int P, int bandTop, int bandEnd)
{
    thread_local std::vector<TluxCell> buffer;
    buffer.resize(size_t(slot.columns));
    GeneratedLines<Rotation> lines{rowForm, buffer.data(), slot.columns, slot.rows, uint8_t(P)};
    composeBand<Rotation>(slot, lines, bandTop, bandEnd);
}

// One band from the row form where there is one (it is null for the quarter turns), else from
// the grid.
template <TluxRotation Rotation>
void composeSlideBand(const TluxAnimationSlot& slot, SlideRowProc rowForm, int P, int bandTop, int bandEnd)
{
    if constexpr (Rotation == krNone || Rotation == krRotate180) {
        if (rowForm) {
            composeBandFromRows<Rotation>(slot, rowForm, P, bandTop, bandEnd);
            return;
        }
    }
    composeBandFromGrid<Rotation>(slot, bandTop, bandEnd);
}

} // namespace

namespace luxcompose {

void composeSlide(TluxAnimationSlot& slot, int P, bool copySource)
{
    const int c = slot.columns, r = slot.rows;
    const TluxRotation rotation = slot.settings->Rotation;
    const bool turned = rotation == krRotate90 || rotation == krRotate270;
    // The built-in slides make each cell row where it is composed; users' procedures, and the
    // quarter turns (whose picture rows are the grid's columns), fill the whole grid first.
    const SlideRowProc rowForm = turned ? nullptr : slideRowForm(slot.effect->Proc);
    if (!rowForm) {
        TluxCell* cells = slot.cells.get();
        std::memset(static_cast<void*>(cells), 0, size_t(c) * size_t(r) * sizeof(TluxCell));
        slot.effect->slideProc()(cells, turned ? r : c, turned ? c : r, uint8_t(P));
    }

    // Each band writes only its own rows, and meets the cells and tiles in the order of the
    // whole frame, so a pixel that several cells reach gets the same last write. A band that
    // copies Source first finds its rows still in the cache when the cells move over them.
    TluxBitmap* work = slot.work.get();
    runInRowBands(work->Height, [&](int, int bandTop, int bandEnd) {
        if (copySource) {
            const size_t start = size_t(bandTop) * size_t(work->Width);
            MoveLongwordFunc(slot.source->Bits + start, work->Bits + start, (bandEnd - bandTop) * work->Width);
        }
        switch (rotation) {
        case krRotate90: composeSlideBand<krRotate90>(slot, rowForm, P, bandTop, bandEnd); break;
        case krRotate180: composeSlideBand<krRotate180>(slot, rowForm, P, bandTop, bandEnd); break;
        case krRotate270: composeSlideBand<krRotate270>(slot, rowForm, P, bandTop, bandEnd); break;
        case krNone: composeSlideBand<krNone>(slot, rowForm, P, bandTop, bandEnd); break;
        }
    });
}

} // namespace luxcompose
