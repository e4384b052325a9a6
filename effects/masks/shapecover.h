#pragma once
// Which shapes of a generator family reach each cell of a grid.
//
// The line-drawn families (diamonds, rectangles, the soft cross, the rotating hand, the soft
// diagonals) draw shapes 0, 1, ... n in turn, each shape a function of the grid size and its
// index only; the progress merely chooses n and the values. A cell therefore ends up with the
// value of the last shape up to n that reaches it, or, when every shape has one value, with
// that value as soon as any shape up to n reaches it. For one family and grid size the first
// and last shape reaching each cell are recorded once, in step with the n the frames ask for,
// and a frame is then one pass over the grid. The few cells reached by shapes that are not
// consecutive are flagged in their record word (see coverpasses.h) and keep the list of their
// runs of shapes.

#include "effects/masks/coverpasses.h"
#include "effects/masks/maskprimitives.h"
#include "effects/masks/maskrows.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

class ShapeCover final : public RowMender
{
public:
    // Makes shapes 0 .. n of the family on a W x H grid known. False when the record cannot
    // serve it (more shapes or cells than it holds); the caller draws.
    bool reach(MaskShape shape, int W, int H, int n);
    bool serves(MaskShape shape, int W, int H) const { return shape == m_shape && gridIs(W, H); }

    // Cells reached by any shape 0 .. n get v, the others 0.
    void anyUpTo(uint8_t* out, int n, uint8_t v) const;
    // Cells get levels[k] of the last shape k <= n reaching them, the others 0.
    void lastUpTo(uint8_t* out, int n, const int32_t* levels) const;
    // Gives the cells of row y (W bytes at out) whose shapes have gaps the level lastUpTo gives
    // them: that of the last run of shapes starting at or before n.
    void mendRow(uint8_t* out, int y, int n, const int32_t* levels) const override;
    // Each cell's record word (see coverpasses.h), row-major.
    const uint32_t* cells() const { return m_cells.data(); }

    static constexpr uint16_t none = coverpass::none;

    // Cells as no shape reaches them, for a W x H grid and no family yet: the first family that
    // reaches into it takes it as it is.
    void layOut(int W, int H) { reset(nullptr, W, H); }
    bool fresh(int W, int H) const { return !m_shape && gridIs(W, H) && m_known < 0; }
    bool gridIs(int W, int H) const { return W == m_w && H == m_h; }

private:
    class RecordPen;
    using Runs = std::vector<std::pair<uint16_t, uint16_t>>;

    void reset(MaskShape shape, int W, int H);

    MaskShape m_shape = nullptr;
    int m_w = 0, m_h = 0;
    int m_known = -1; // shapes 0 .. m_known recorded
    std::vector<uint32_t> m_cells;             // one record word per cell
    std::unordered_map<uint32_t, Runs> m_runs; // the broken cells' runs of shapes, in order
    std::vector<std::vector<uint32_t>> m_brokenRows; // the broken cells of each row
};

// Lays out a record for a W x H grid (its cells as no shape reaches them) ahead of the first
// frame, which would otherwise meet the allocation and its page faults: the transition's set-up
// calls it for the families that use the record. The first family drawn on that grid takes it.
// Records already kept for that grid stay as they are: a transition played again finds its
// record whole.
void layOutShapeCover(int W, int H);

// Frees the records kept for the last families drawn.
void releaseShapeCovers();

namespace generators {
// Shapes 0 .. n of the family, every one with v: from the record, or drawn when it cannot serve.
void shapesUpTo(MaskGrid& m, MaskShape shape, int n, uint8_t v);
// Shapes 0 .. n of the family, shape k with levels[k] (n + 1 levels).
void softShapesUpTo(MaskGrid& m, MaskShape shape, const std::vector<int32_t>& levels);
} // namespace generators
