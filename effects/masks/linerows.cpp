#include "effects/masks/linerows.h"

#include <algorithm>
#include <cstring>

using namespace maskdetail;

// The same points j = lo .. hi as the mask line's walk: a line of one point, a horizontal or
// vertical line (its cells clipped directly), or a slanted one with its minor offsets.
ClippedLine::ClippedLine(int W, int H, const MaskSegment& s)
    : m_s(s)
{
    const int64_t dx = int64_t(s.x1) - s.x0, dy = int64_t(s.y1) - s.y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    m_n = std::max(adx, ady);
    m_xMajor = adx >= ady;
    m_a = m_xMajor ? ady : adx;
    m_majorDir = m_xMajor ? (dx > 0) - (dx < 0) : (dy > 0) - (dy < 0);
    m_minorDir = m_xMajor ? (dy > 0) - (dy < 0) : (dx > 0) - (dx < 0);
    const int64_t majorBase = m_xMajor ? s.x0 : s.y0, minorBase = m_xMajor ? s.y0 : s.x0;
    const int64_t majorSize = m_xMajor ? W : H, minorSize = m_xMajor ? H : W;
    m_lo = 0;
    m_hi = m_n;
    clipAxis(majorBase, m_majorDir, majorSize, m_lo, m_hi);
    int64_t tLo = 0, tHi = m_a;
    clipAxis(minorBase, m_minorDir, minorSize, tLo, tHi);
    if (tLo > tHi) {
        m_hi = m_lo - 1;
        return;
    }
    if (m_a > 0) {
        m_lo = std::max(m_lo, ceilDiv(tLo * m_n + 1, m_a) - 1);
        m_hi = std::min(m_hi, floorDiv((tHi + 1) * m_n, m_a) - 1);
    }
}

int64_t ClippedLine::yAt(int64_t j) const
{
    return m_xMajor ? m_s.y0 + m_minorDir * minorAt(j) : m_s.y0 + m_majorDir * j;
}

int ClippedLine::top() const
{
    return int(std::min(yAt(m_lo), yAt(m_hi)));
}

int ClippedLine::bottom() const
{
    return int(std::max(yAt(m_lo), yAt(m_hi)));
}

bool ClippedLine::rowSpan(int y, int& lo, int& hi) const
{
    if (empty())
        return false;
    int64_t jLo, jHi;
    if (m_xMajor) {
        // Points j with minor offset t: ceil((t n + 1) / a) - 1 <= j <= (t + 1) n / a - 1.
        const int64_t t = (int64_t(y) - m_s.y0) * m_minorDir;
        if (m_a == 0) {
            if (y != m_s.y0)
                return false;
            jLo = m_lo;
            jHi = m_hi;
        } else {
            jLo = std::max(m_lo, ceilDiv(t * m_n + 1, m_a) - 1);
            jHi = std::min(m_hi, floorDiv((t + 1) * m_n, m_a) - 1);
        }
        if (jLo > jHi)
            return false;
        const int64_t x0 = m_s.x0 + m_majorDir * jLo, x1 = m_s.x0 + m_majorDir * jHi;
        lo = int(std::min(x0, x1));
        hi = int(std::max(x0, x1));
        return true;
    }
    const int64_t j = (int64_t(y) - m_s.y0) * m_majorDir;
    if (j < m_lo || j > m_hi)
        return false;
    lo = hi = int(m_s.x0 + m_minorDir * minorAt(j));
    return true;
}

namespace {

bool movesDown(const std::vector<ClippedLine>& lines)
{
    for (size_t k = 1; k < lines.size(); ++k)
        if (lines[k].top() < lines[k - 1].top() || lines[k].bottom() < lines[k - 1].bottom())
            return false;
    return true;
}

} // namespace

void paintLineFamily(MaskGrid& m, const std::vector<MaskSegment>& lines, uint8_t v)
{
    std::vector<ClippedLine> clipped;
    clipped.reserve(lines.size());
    for (const MaskSegment& s : lines)
        if (const ClippedLine c(m.W, m.H, s); !c.empty())
            clipped.push_back(c);
    // The lines share one value, so a family whose rows move up is the same family read backwards.
    if (!movesDown(clipped)) {
        std::reverse(clipped.begin(), clipped.end());
        if (!movesDown(clipped)) {
            for (const MaskSegment& l : lines)
                maskLine(m, l.x0, l.y0, l.x1, l.y1, v);
            return;
        }
    }
    // Lines first .. last - 1 reach row y: their bottoms are at or below it, their tops at or above.
    size_t first = 0, last = 0;
    for (int y = 0; y < m.H && !clipped.empty(); ++y) {
        while (first < clipped.size() && clipped[first].bottom() < y)
            ++first;
        while (last < clipped.size() && clipped[last].top() <= y)
            ++last;
        if (first >= last)
            continue;
        int lo = m.W, hi = -1, l, h;
        if (clipped[first].rowSpan(y, l, h)) {
            lo = l;
            hi = h;
        }
        if (clipped[last - 1].rowSpan(y, l, h)) {
            lo = std::min(lo, l);
            hi = std::max(hi, h);
        }
        if (lo <= hi)
            std::memset(m.row(y) + lo, v, size_t(hi - lo + 1));
    }
}
