#pragma once
// A frame's mask made one row at a time.
//
// The recorded families (the circles, the line-drawn shapes), the whole-grid fade and the pixel
// family fill every cell of a frame's mask from a record word and a table of levels, with one
// value, or from a cell's step in an order and its column's level, after a set-up that depends on
// the progress only. A generator run on a planning grid (MaskGrid::plan
// set, no bytes) does that set-up and leaves here what each cell gets, instead of writing a
// whole grid: the frame composition then makes each mask row just before it blends the row,
// while both are in cache, and never writes or reads a frame-sized mask. The rows hold the
// bytes the generator writes on a real grid.

#include "effects/masks/maskprimitives.h"
#include "effects/masks/pixelorder.h"

#include <cstdint>
#include <mutex>
#include <vector>

// A record whose rows are made as they are read (the shape record, recorded in row bands).
class RowRecord
{
public:
    // Makes row y's record words final for shapes 0 .. n, recording them if need be, and keeps
    // them as they are while the returned lock lives.
    virtual std::unique_lock<std::mutex> openRow(int y, int n) = 0;
    // Gives the cells of row y (W bytes at out) that a record pass alone cannot give (a shape
    // record's cells whose shapes have gaps); the row open.
    virtual void mendRow(uint8_t* out, int y, int n, const int32_t* levels) const = 0;

protected:
    ~RowRecord() = default;
};

class MaskRowPlan
{
public:
    // Starts a plan for a W x H grid: every cell 0 until a generator says otherwise.
    void start(int W, int H);
    // False when the generator met something the plan cannot stand for (it would have drawn).
    bool usable() const { return m_usable; }

    // What the generators leave (each at most once, then at most one inversion).
    void constant(uint8_t v);
    // Cells whose record word has a shape in low .. high get v (coverpass::reachedLevel); a
    // record that makes its rows as they are read opens each row first.
    void reached(const uint32_t* cells, uint16_t low, uint16_t high, uint8_t v, RowRecord* record = nullptr);
    // Cells get levels[min(last, high)] where their first shape is at most high
    // (coverpass::lastLevels); such a record also mends its cells whose shapes have gaps.
    void last(const uint32_t* cells, uint16_t high, std::vector<int32_t> levels, RowRecord* record = nullptr);
    // Cells of columns 0 .. levels.size() - 1 get their column's level where their step in the
    // pixel order is at most reached (the pixel family).
    void chosen(const PixelOrder::Steps& steps, uint8_t reached, std::vector<uint8_t> levels);
    // Each row made by fill(out, W, y, arg) (a generator that computes its rows on their own).
    void computed(void (*fill)(uint8_t* out, int W, int y, int arg), int arg);
    // The In variants' replacement of every cell, after the Out generator.
    void invert(InKind kind, uint8_t level);
    void fail() { m_usable = false; }

    // Row y (0 .. H - 1) of the mask, W bytes. Safe to call from several threads at once.
    void row(uint8_t* out, int y) const;

private:
    enum class Fill { Zero, Constant, Reached, Last, Chosen, Computed };
    Fill m_fill = Fill::Zero;
    int m_w = 0, m_h = 0;
    bool m_usable = false;
    bool m_inverted = false;
    InKind m_invertKind = InKind::Slide;
    uint8_t m_invertLevel = 0;
    uint8_t m_value = 0;
    uint16_t m_low = 0, m_high = 0;
    const uint32_t* m_cells = nullptr;
    RowRecord* m_record = nullptr;
    std::vector<int32_t> m_levels;
    PixelOrder::Steps m_steps;
    uint8_t m_reached = 0;
    std::vector<uint8_t> m_columnLevels;
    void (*m_computed)(uint8_t*, int, int, int) = nullptr;
    int m_computedArg = 0;
};

// In variants of an Out generator: unless P = 0, run the Out generator at 100 - P, then
// replace every cell (on a planning grid, the plan's rows are replaced).
void invertedVariant(MaskGrid& m, int progress, InKind kind, MaskGenerator out);
