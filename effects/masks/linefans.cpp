#include "effects/masks/linefans.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

FanSpans::FanSpans(const MaskGrid& m, bool perColumn, bool mirrorAlong, bool mirrorAcross)
    : m_along(perColumn ? m.W : m.H)
    , m_across(perColumn ? m.H : m.W)
    , m_perColumn(perColumn)
    , m_mirrorAlong(mirrorAlong)
    , m_mirrorAcross(mirrorAcross)
{
}

// A new set of runs for one triangle or fan: runs of different sets may overlap.
void FanSpans::openSet()
{
    m_low.emplace_back(size_t(m_along), INT32_MAX);
    m_high.emplace_back(size_t(m_along), INT32_MIN);
}

void FanSpans::add(int u, int64_t v0, int64_t v1)
{
    if (u < 0 || u >= m_along)
        return;
    const int p = m_mirrorAlong ? m_along - 1 - u : u;
    int64_t lo = v0, hi = v1;
    if (m_mirrorAcross) {
        lo = m_across - 1 - v1;
        hi = m_across - 1 - v0;
    }
    lo = std::max<int64_t>(lo, 0);
    hi = std::min<int64_t>(hi, m_across - 1);
    if (lo <= hi) {
        m_low.back()[size_t(p)] = int32_t(lo);
        m_high.back()[size_t(p)] = int32_t(hi);
    }
}

void FanSpans::triangle(int T)
{
    openSet();
    for (int u = 0; u <= T && u < m_along; ++u)
        add(u, 0, int64_t(T) - u);
}

namespace {

// The offset across of a line's point: num div l, where num is -1 only for lines along the
// edge itself (B = 0), which lie at offset 0.
int64_t across(int64_t num, int64_t l)
{
    return std::max<int64_t>(num, 0) / l;
}

} // namespace

// Line l passes position u (u <= l) at v = B - ((u + 1) B - 1) div l, which grows with l.
void FanSpans::fanFromFixed(int B, int A)
{
    openSet();
    for (int u = 0; u <= A && u < m_along && A > B; ++u) {
        const int64_t c = (int64_t(u) + 1) * B - 1;
        const int64_t first = std::max<int64_t>(u, int64_t(B) + 1);
        add(u, B - across(c, first), B - across(c, A));
    }
}

// Line l passes position u (u <= l) at v = ((l - u + 1) B - 1) div l, which grows with l.
void FanSpans::fanToFixed(int B, int A)
{
    openSet();
    auto at = [B](int64_t l, int64_t u) { return across((l - u + 1) * B - 1, l); };
    for (int u = 0; u <= A && u < m_along && A > B; ++u) {
        const int64_t first = std::max<int64_t>(u, int64_t(B) + 1);
        add(u, at(first, u), at(A, u));
    }
}

namespace {

// The column runs of one set, seen row by row. The tops of a triangle's or a fan's runs each
// move one way (or stay) from column to column, and so do their bottoms, with no column left
// out between the first and the last run (mirroring and clipping keep that): the columns whose
// run holds a row are then one range. Its ends only move one way as the rows go down, so they
// are followed with a cursor each.
class RowRanges
{
public:
    RowRanges(const int32_t* low, const int32_t* high, int n)
        : m_low(low)
        , m_high(high)
    {
        while (m_first < n && low[m_first] > high[m_first])
            ++m_first;
        m_last = n - 1;
        while (m_last >= m_first && low[m_last] > high[m_last])
            --m_last;
        if (m_first <= m_last) {
            m_lowRises = low[m_last] >= low[m_first];
            m_highRises = high[m_last] >= high[m_first];
        }
        m_lowCut = m_lowRises ? m_first : m_last + 1;
        m_highCut = m_highRises ? m_first : m_last + 1;
    }

    // The columns from .. to whose run holds row y (from > to when none), for y = 0, 1, ... in turn.
    void next(int32_t y, int& from, int& to)
    {
        from = m_first;
        to = m_last;
        // Tops at or above y: columns first .. cut - 1 when the tops move down the columns,
        // cut .. last when they move up.
        if (m_lowRises) {
            while (m_lowCut <= m_last && m_low[m_lowCut] <= y)
                ++m_lowCut;
            to = m_lowCut - 1;
        } else {
            while (m_lowCut > m_first && m_low[m_lowCut - 1] <= y)
                --m_lowCut;
            from = m_lowCut;
        }
        // Bottoms at or below y: columns cut .. last when the bottoms move down, first .. cut - 1
        // when they move up.
        if (m_highRises) {
            while (m_highCut <= m_last && m_high[m_highCut] < y)
                ++m_highCut;
            from = std::max(from, m_highCut);
        } else {
            while (m_highCut > m_first && m_high[m_highCut - 1] < y)
                --m_highCut;
            to = std::min(to, m_highCut - 1);
        }
    }

private:
    const int32_t* m_low;
    const int32_t* m_high;
    int m_first = 0, m_last = -1;
    bool m_lowRises = false, m_highRises = false;
    int m_lowCut, m_highCut;
};

// Sets cells lo .. hi of a row for each of the ranges, merging those that touch.
void fillRanges(uint8_t* row, std::pair<int, int>* ranges, size_t count, uint8_t v)
{
    std::sort(ranges, ranges + count);
    for (size_t k = 0; k < count;) {
        int lo = ranges[k].first, hi = ranges[k].second;
        for (++k; k < count && ranges[k].first <= hi + 1; ++k)
            hi = std::max(hi, ranges[k].second);
        std::memset(row + lo, v, size_t(hi - lo + 1));
    }
}

} // namespace

void FanSpans::paint(MaskGrid& m, uint8_t v) const
{
    if (!m_perColumn) {
        for (size_t s = 0; s < m_low.size(); ++s) {
            const int32_t* low = m_low[s].data();
            const int32_t* high = m_high[s].data();
            for (int y = 0; y < m.H; ++y)
                if (low[y] <= high[y])
                    std::memset(m.row(y) + low[y], v, size_t(high[y] - low[y] + 1));
        }
        return;
    }
    // Each set reaches a row in one range of columns: each row is written once, in runs.
    std::vector<RowRanges> sets;
    for (size_t s = 0; s < m_low.size(); ++s)
        sets.emplace_back(m_low[s].data(), m_high[s].data(), m.W);
    std::vector<std::pair<int, int>> ranges(sets.size());
    for (int y = 0; y < m.H; ++y) {
        size_t count = 0;
        for (RowRanges& r : sets) {
            int from, to;
            r.next(y, from, to);
            if (from <= to)
                ranges[count++] = {from, to};
        }
        fillRanges(m.row(y), ranges.data(), count, v);
    }
}
