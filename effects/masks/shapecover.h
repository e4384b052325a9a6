#pragma once
// Which shapes of a generator family reach each cell of a grid.
//
// The line-drawn families (diamonds, rectangles, the soft cross, the rotating hand, the soft
// diagonals) draw shapes 0, 1, ... n in turn, each shape a function of the grid size and its
// index only; the progress merely chooses n and the values. A cell therefore ends up with the
// value of the last shape up to n that reaches it, or, when every shape has one value, with
// that value as soon as any shape up to n reaches it. For one family and grid size the first
// and last shape reaching each cell are recorded once, and a frame is then one pass over the
// grid. The few cells reached by shapes that are not consecutive are flagged in their record
// word (see coverpasses.h) and keep the list of their runs of shapes.
//
// The record is kept in bands of rows, each recorded on its own up to the shapes asked of it:
// a band walks only the parts of the shapes' lines inside it, so its words stay in cache while
// it is recorded, and bands can be recorded at the same time on several threads. A
// transition's set-up starts recording every shape its frames will ask for on a thread of its
// own; a frame reads the bands that thread has done and records the others as far as it needs
// them itself (the In variants ask for nearly every shape at their first frame).

#include "effects/masks/coverpasses.h"
#include "effects/masks/maskprimitives.h"
#include "effects/masks/maskrows.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

class ShapeCover final : public RowRecord
{
public:
    ShapeCover() = default;
    ~ShapeCover();
    ShapeCover(const ShapeCover&) = delete;
    ShapeCover& operator=(const ShapeCover&) = delete;

    // Takes the family and grid; false when the record cannot serve shapes 0 .. n (more shapes
    // or cells than it holds): the caller draws. The rows are recorded when they are read.
    bool reach(MaskShape shape, int W, int H, int n);
    bool serves(MaskShape shape, int W, int H) const { return shape == m_shape && gridIs(W, H); }

    // Cells reached by any shape 0 .. n get v, the others 0. After reach.
    void anyUpTo(uint8_t* out, int n, uint8_t v);
    // Cells get levels[k] of the last shape k <= n reaching them, the others 0. After reach.
    void lastUpTo(uint8_t* out, int n, const int32_t* levels);

    std::unique_lock<std::mutex> openRow(int y, int n) override;
    // The level lastUpTo gives a cell whose shapes have gaps: that of the last run of shapes
    // starting at or before n.
    void mendRow(uint8_t* out, int y, int n, const int32_t* levels) const override;
    // Each cell's record word (see coverpasses.h), row-major; a row is valid once opened.
    const uint32_t* cells() const { return m_cells.get(); }

    // Takes the family and grid (as reach does) and records on a thread of its own shapes
    // 0 .. stages[0] of every band, then 0 .. stages[1] and so on (the shapes in the order the
    // frames will ask for them), which frames do not wait for unless they read the band it is on.
    void recordAhead(MaskShape shape, int W, int H, std::vector<int> stages);
    // Waits until the thread recording ahead has finished (or returns at once without one).
    void finishAhead();

    static constexpr uint16_t none = coverpass::none;

    // A record of a W x H grid and no family yet: the first family that reaches into it takes it.
    void layOut(int W, int H) { reset(nullptr, W, H); }
    bool fresh(int W, int H) const { return !m_shape && gridIs(W, H); }
    bool gridIs(int W, int H) const { return W == m_w && H == m_h; }
    // Stops the thread recording ahead and frees the record.
    void release() { reset(nullptr, 0, 0); }

private:
    class BandPen;
    using Runs = std::vector<std::pair<uint16_t, uint16_t>>;
    // Rows y0 .. y0 + bandRows - 1: shapes 0 .. known recorded there (known -1: its words not
    // yet laid out), and its cells whose shapes have gaps with their runs of shapes.
    struct Band {
        std::mutex lock;
        int known = -1;
        std::unordered_map<uint32_t, Runs> runs;
    };

    void reset(MaskShape shape, int W, int H);
    void stopAhead();
    // Records shapes known + 1 .. n of band b; the band locked.
    void recordBand(int b, int n);

    MaskShape m_shape = nullptr;
    int m_w = 0, m_h = 0;
    std::unique_ptr<uint32_t[]> m_cells; // one record word per cell, laid out band by band
    std::unique_ptr<Band[]> m_bands;
    std::vector<std::vector<uint32_t>> m_brokenRows; // the cells of each row whose shapes have gaps
    std::thread m_ahead;
    std::atomic<bool> m_stop{false};
};

// Starts recording ahead, for a W x H grid, every shape the generator asks of the shape record
// at any progress 0 .. 100, as far as the frames of rising progress need them first: a
// transition's set-up calls it for the families that use the
// record. Records already kept for that family and grid stay as they are: a transition played
// again finds its record whole.
void recordShapesAhead(int W, int H, void (*generate)(MaskGrid&, int));

// Waits for the threads recording ahead to finish.
void finishShapesAhead();

// Stops the threads recording ahead and frees the records kept for the last families drawn.
void releaseShapeCovers();

namespace generators {
// Shapes 0 .. n of the family, every one with v: from the record, or drawn when it cannot serve.
void shapesUpTo(MaskGrid& m, MaskShape shape, int n, uint8_t v);
// Shapes 0 .. n of the family, shape k with levels[k] (n + 1 levels).
void softShapesUpTo(MaskGrid& m, MaskShape shape, const std::vector<int32_t>& levels);
} // namespace generators
