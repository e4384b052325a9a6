#include "effects/engine/linefans.h"

#include <algorithm>
#include <climits>
#include <cstring>

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

// Cells of row y that the runs of two sets reach, across the columns x0 .. x1 - 1.
void columnRuns(uint8_t* __restrict row, const int32_t* __restrict low0, const int32_t* __restrict high0,
                const int32_t* __restrict low1, const int32_t* __restrict high1, int x0, int x1, int32_t y, uint8_t v)
{
    for (int x = x0; x < x1; ++x) {
        const bool hit = ((low0[x] <= y) & (y <= high0[x])) | ((low1[x] <= y) & (y <= high1[x]));
        row[x] |= uint8_t(v & -uint8_t(hit));
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
    // Two sets a pass (a set with itself when one is left), over the rows and columns they reach.
    for (size_t s = 0; s < m_low.size(); s += 2) {
        const size_t t = std::min(s + 1, m_low.size() - 1);
        const int32_t* low0 = m_low[s].data();
        const int32_t* high0 = m_high[s].data();
        const int32_t* low1 = m_low[t].data();
        const int32_t* high1 = m_high[t].data();
        int32_t top = INT32_MAX, bottom = INT32_MIN;
        int x0 = m.W, x1 = 0;
        for (int x = 0; x < m.W; ++x) {
            if (low0[x] > high0[x] && low1[x] > high1[x])
                continue;
            x0 = std::min(x0, x);
            x1 = x + 1;
            top = std::min({top, low0[x], low1[x]});
            bottom = std::max({bottom, high0[x], high1[x]});
        }
        for (int y = std::max(top, 0); y <= bottom && y < m.H; ++y)
            columnRuns(m.row(y), low0, high0, low1, high1, x0, x1, y, v);
    }
}
