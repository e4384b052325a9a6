#pragma once
// Fans of mask lines, as the cells they cover.
//
// The fixed-value diagonal wipes draw many lines that share one end point while the other end
// moves one cell at a time along an edge, plus lines that run diagonally between two edges.
// Along the fan's long axis, the cells its lines reach in one column (or row) form one run,
// and the ends of that run come from the first and last line directly (the mask line's points
// lie at ((j + 1) * a - 1) div n across, and between neighbouring lines that value moves by at
// most one). So a fan is drawn as one run per column or row, with the same cells as its lines.

#include "effects/masks/maskprimitives.h"

#include <cstdint>
#include <vector>

class FanSpans
{
public:
    // Runs across the columns (each column a run of rows) or across the rows (each row a run of
    // columns); mirrored counts the columns from the right or the rows from the bottom. Positions
    // u and offsets v below are in the fan's own frame: u along the axis, v across it.
    FanSpans(const MaskGrid& m, bool perColumn, bool mirrorAlong, bool mirrorAcross);

    // The corner triangle u + v <= T: the lines from (u, 0) to (0, u) for u = 0 .. T.
    void triangle(int T);
    // Lines drawn from (0, B) to (l, 0) for l = B + 1 .. A (one end fixed, drawn from it).
    void fanFromFixed(int B, int A);
    // Lines drawn from (l, 0) to (0, B) for l = B + 1 .. A (drawn towards the fixed end).
    void fanToFixed(int B, int A);

    // Sets every covered cell to v.
    void paint(MaskGrid& m, uint8_t v) const;

private:
    void openSet();
    void add(int u, int64_t v0, int64_t v1);

    int m_along, m_across; // grid sizes along and across the fan
    bool m_perColumn, m_mirrorAlong, m_mirrorAcross;
    std::vector<std::vector<int32_t>> m_low, m_high; // one run per position and set
};
