#pragma once
// RowRuns: collects the horizontal runs of a picture row by row and turns them
// into a QRegion in one step.
//
// QRegion keeps its rectangles in bands: rows of equal height sorted by y, then
// x, with rows of identical runs merged vertically. Building that form here and
// handing it over with QRegion::setRects costs one pass, where uniting one
// rectangle per run would rebuild the region for every run. The table grows
// with the picture; there is no fixed run limit.

#include <QRect>
#include <QRegion>

#include <vector>

class RowRuns {
public:
    // Starts row y; rows must come in increasing order.
    void beginRow(int y);
    // Adds the run [left, right) to the current row; runs come left to right
    // and must not touch (right < next left).
    void addRun(int left, int right) { m_row.push_back({left, right}); }
    void endRow();

    // Number of rectangles collected so far (one per band and run).
    size_t rectCount() const { return m_rects.size(); }
    bool isEmpty() const { return m_rects.empty(); }
    QRegion region() const;

private:
    struct Span {
        int left;
        int right;
        friend bool operator==(const Span&, const Span&) = default;
    };

    std::vector<QRect> m_rects; // the bands, in QRegion's order
    std::vector<Span> m_row; // runs of the row being collected
    std::vector<Span> m_bandSpans; // runs of the last band
    size_t m_bandStart = 0; // index in m_rects of the last band's first rectangle
    int m_bandBottom = 0; // one past the last band's bottom row
    int m_y = 0;
};
