#include "effects/forms/rowruns.h"

#include <QtGlobal>

#include <limits>

void RowRuns::beginRow(int y)
{
    m_y = y;
    m_row.clear();
}

void RowRuns::endRow()
{
    if (m_row.empty())
        return;
    const bool extendsBand = !m_rects.empty() && m_bandBottom == m_y && m_row == m_bandSpans;
    if (extendsBand) {
        // The same runs as the row above: the band grows one row taller.
        for (size_t i = m_bandStart; i < m_rects.size(); ++i)
            m_rects[i].setBottom(m_y);
    } else {
        m_bandStart = m_rects.size();
        for (const Span& s : m_row)
            m_rects.emplace_back(QPoint(s.left, m_y), QPoint(s.right - 1, m_y));
        m_bandSpans.swap(m_row);
    }
    m_bandBottom = m_y + 1;
}

QRegion RowRuns::region() const
{
    QRegion r;
    if (m_rects.empty())
        return r;
    Q_ASSERT(m_rects.size() <= size_t(std::numeric_limits<int>::max()));
    r.setRects(m_rects.data(), int(m_rects.size()));
    return r;
}
