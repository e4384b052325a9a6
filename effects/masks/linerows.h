#pragma once
// A family of mask lines drawn with one value, painted one run per row.
//
// The diagonal band draws lines whose both ends move. The rows a line reaches form one range;
// when those ranges move down (never up) from line to line, the lines reaching a row are
// consecutive, and the cells they cover in that row are exactly the run between the first and
// the last of them. So each row is filled from two lines' cells in it, not by walking every line.

#include "effects/masks/maskprimitives.h"

#include <cstdint>
#include <vector>

struct MaskSegment {
    int x0, y0, x1, y1;
};

// The cells of the mask line from (x0, y0) to (x1, y1) that lie inside a W x H grid.
class ClippedLine
{
public:
    ClippedLine(int W, int H, const MaskSegment& s);

    bool empty() const { return m_lo > m_hi; }
    // The first and last rows the line reaches (only when not empty).
    int top() const;
    int bottom() const;
    // The columns lo .. hi the line covers in row y; false when it covers none.
    bool rowSpan(int y, int& lo, int& hi) const;

private:
    int64_t minorAt(int64_t j) const { return m_n == 0 ? 0 : ((j + 1) * m_a - 1) / m_n; }
    int64_t yAt(int64_t j) const;

    MaskSegment m_s;
    int64_t m_n = 0, m_a = 0; // major and minor extents
    bool m_xMajor = true;
    int m_majorDir = 0, m_minorDir = 0;
    int64_t m_lo = 0, m_hi = -1; // the points j inside the grid
};

// Sets every cell of the lines to v: in rows when the rows of successive lines move down (or
// all move up), else line by line. The rows take the run between the first and last line
// reaching them, so neighbouring lines of the family must leave no gap between their cells in a
// row, as the lines of a band whose ends move one cell at a time do.
void paintLineFamily(MaskGrid& m, const std::vector<MaskSegment>& lines, uint8_t v);
