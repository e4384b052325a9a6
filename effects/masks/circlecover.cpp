#include "effects/masks/circlecover.h"

#include "effects/masks/coverpasses.h"
#include "effects/masks/maskrows.h"

#include "effects/util/rowbands.h"

#include <algorithm>
#include <cmath>

void CircleCover::reset(int W, int H, int cx, int cy)
{
    m_w = W;
    m_h = H;
    m_cx = cx;
    m_cy = cy;
    m_known = -1;
    const double dx = std::max(cx, W - 1 - cx), dy = std::max(cy, H - 1 - cy);
    // A step writes cells within about 1.5 of the radius; beyond the farthest cell plus two
    // nothing lands.
    m_farthest = int(std::ceil(std::sqrt(dx * dx + dy * dy))) + 2;
    m_usable = m_farthest < int(none) - 1;
    m_cells.assign(m_usable ? size_t(W) * size_t(H) : 0, coverpass::unreached);
}

// The steps of the midpoint circle of radius r, each cell as maskCircle writes it.
void CircleCover::add(int r)
{
    const int64_t W = m_w, H = m_h, cx = m_cx, cy = m_cy;
    uint32_t* const cells = m_cells.data();
    const uint16_t k = uint16_t(r);
    bool usable = true;
    auto mark = [&](int64_t x, int64_t y) {
        if (uint64_t(x) >= uint64_t(W) || uint64_t(y) >= uint64_t(H))
            return;
        uint32_t& cell = cells[size_t(y * W + x)];
        const uint16_t first = coverpass::firstOf(cell), last = coverpass::lastOf(cell);
        if (first == none) {
            cell = coverpass::cellWord(k, k);
        } else if (last + 1 == k) {
            cell = coverpass::cellWord(first, k);
        } else if (last != k) {
            usable = false; // reached again after a radius that missed it
        }
    };
    auto step = [&](int64_t x, int64_t y) {
        for (const int64_t a : {x, x + 1}) {
            mark(cx + a, cy + y);
            mark(cx - a, cy + y);
            mark(cx + a, cy - y);
            mark(cx - a, cy - y);
        }
        for (const int64_t b : {y, y + 1}) {
            mark(cx + b, cy + x);
            mark(cx - b, cy + x);
            mark(cx + b, cy - x);
            mark(cx - b, cy - x);
        }
    };
    midpointCircleSteps(0, r, 3 - 2 * int64_t(r), [&](int64_t x, int64_t y) {
        step(x, y);
        return true;
    });
    m_usable = m_usable && usable;
}

bool CircleCover::reach(int W, int H, int cx, int cy, int r)
{
    if (W != m_w || H != m_h || cx != m_cx || cy != m_cy || m_cells.size() != size_t(W) * size_t(H))
        reset(W, H, cx, cy);
    if (!m_usable)
        return false;
    const int to = std::min(r, m_farthest);
    // Radii are recorded once each and in order, as the frames' progress grows.
    while (m_known < to && m_usable)
        add(++m_known);
    return m_usable;
}

CircleCover& circleCover()
{
    static CircleCover cover;
    return cover;
}

void releaseCircleCover()
{
    circleCover() = CircleCover{};
}

namespace generators {

bool coverRing(MaskGrid& m, int cx, int cy, int lo, int hi, uint8_t v)
{
    if (hi < 0)
        return true;
    CircleCover& cover = circleCover();
    if (!cover.reach(m.W, m.H, cx, cy, hi))
        return false;
    const int top = std::min(hi, cover.farthest());
    if (lo > top)
        return true;
    const uint16_t low = uint16_t(std::max(lo, 0)), high = uint16_t(top);
    const uint32_t* cells = cover.cells();
    if (m.plan) {
        m.plan->reached(cells, low, high, v);
        return true;
    }
    runInRowBands(m.H, [&](int, int y0, int y1) {
        const size_t from = size_t(y0) * size_t(m.W), to = size_t(y1) * size_t(m.W);
        coverpass::reachedLevel(m.Bits + from, cells + from, to - from, low, high, v);
    });
    return true;
}

bool coverSoft(MaskGrid& m, int cx, int cy, int P, int n)
{
    if (n < 0)
        return true;
    CircleCover& cover = circleCover();
    if (!cover.reach(m.W, m.H, cx, cy, n))
        return false;
    const int top = std::min(n, cover.farthest());
    std::vector<int32_t> level = GradientBand(P, n).levels(top);
    const uint16_t high = uint16_t(top);
    const uint32_t* cells = cover.cells();
    if (m.plan) {
        m.plan->last(cells, high, std::move(level));
        return true;
    }
    const int32_t* levels = level.data();
    runInRowBands(m.H, [&](int, int y0, int y1) {
        const size_t from = size_t(y0) * size_t(m.W), to = size_t(y1) * size_t(m.W);
        coverpass::lastLevels(m.Bits + from, cells + from, to - from, high, levels);
    });
    return true;
}

} // namespace generators
