#include "effects/masks/maskprimitives.h"


#include "platform/arith.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Stores v at every cell of a line. Every value is a local copy: byte stores could otherwise
// alias the grid's fields and force reloads on every cell.
struct StoreSink {
    uint8_t* bits;
    uint8_t v;
    void point(size_t i) { bits[i] = v; }
    void run(size_t i, size_t count) { std::memset(bits + i, v, count); }
};

class StorePen final : public MaskPen
{
public:
    explicit StorePen(MaskGrid& m)
        : m_grid(m)
    {
    }
    void line(int x0, int y0, int x1, int y1) override
    {
        StoreSink sink{m_grid.Bits, level};
        walkMaskLine(m_grid.W, m_grid.H, x0, y0, x1, y1, sink);
    }
    uint8_t level = 0;

private:
    MaskGrid& m_grid;
};

} // namespace

void maskLine(MaskGrid& m, int x0, int y0, int x1, int y1, uint8_t v)
{
    StoreSink sink{m.Bits, v};
    walkMaskLine(m.W, m.H, x0, y0, x1, y1, sink);
}

void drawMaskShapes(MaskGrid& m, MaskShape shape, int lo, int hi, const int32_t* levels)
{
    StorePen pen(m);
    for (int k = lo; k <= hi; ++k) {
        pen.level = uint8_t(levels[k - lo]);
        shape(m.W, m.H, k, pen);
    }
}

void drawMaskShapes(MaskGrid& m, MaskShape shape, int n, uint8_t v)
{
    StorePen pen(m);
    pen.level = v;
    for (int k = 0; k <= n; ++k)
        shape(m.W, m.H, k, pen);
}

void maskFillRect(MaskGrid& m, int x0, int y0, int x1, int y1, uint8_t v)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m.W - 1);
    y1 = std::min(y1, m.H - 1);
    if (x0 > x1 || y0 > y1)
        return;
    if (x0 == 0 && x1 == m.W - 1) {
        std::memset(m.row(y0), v, size_t(m.W) * size_t(y1 - y0 + 1));
        return;
    }
    for (int y = y0; y <= y1; ++y)
        std::memset(m.row(y) + x0, v, size_t(x1 - x0 + 1));
}

void maskFillRow(MaskGrid& m, int y, uint8_t v)
{
    if (y >= 0 && y < m.H)
        std::memset(m.row(y), v, size_t(m.W));
}

namespace {

// The midpoint circle of radius r steps x = 0, 1, ... while x < y, plus a last step when
// x = y. As long as y has stayed at least x + 2, it equals the largest y with
// x^2 + y (y - 1) <= r^2 - 1: each decision (d < 0) then keeps exactly that value, since y
// drops by at most one per step there. This lets a run of steps start anywhere in that range
// with the state computed directly.
struct CircleSteps {
    int64_t r;

    int64_t yAt(int64_t x) const
    {
        const int64_t limit = r * r - 1 - x * x;
        int64_t y = int64_t((1.0 + std::sqrt(std::max(0.0, 1.0 + 4.0 * double(limit)))) / 2.0);
        while (y > 0 && y * (y - 1) > limit)
            --y;
        while ((y + 1) * y <= limit)
            ++y;
        return y;
    }

    // First step whose y is at most Y (exact while the direct form holds).
    int64_t firstWithYAtMost(int64_t Y) const
    {
        if (r <= Y)
            return 0;
        int64_t x = int64_t(std::sqrt(std::max(0.0, double(r * r - Y * (Y + 1)))));
        while (x > 0 && yAt(x - 1) <= Y)
            --x;
        while (yAt(x) > Y)
            ++x;
        return x;
    }

    // Largest x at which a run may start with the direct form (the steps before it all had
    // y >= x + 2).
    int64_t lastDirectStart() const
    {
        int64_t lo = 0, hi = r; // yAt(j - 1) >= j + 1 holds at lo, fails beyond hi
        while (lo < hi) {
            const int64_t mid = (lo + hi + 1) / 2;
            if (yAt(mid - 1) >= mid + 1)
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    }
};

// Where a circle's steps land. Every value is a local copy: stores through the byte pointer
// could otherwise alias them and force reloads on every cell.
struct CircleTarget {
    uint8_t* bits;
    int64_t width;
    int64_t height;
    int64_t cx;
    int64_t cy;
    uint8_t v;
};

// Any centre: every point is checked against the grid.
inline void clippedStep(const CircleTarget t, int64_t x, int64_t y)
{
    const int64_t rows[4] = {t.cy + y, t.cy - y, t.cy + x, t.cy - x};
    const int64_t offsets[4] = {x, x, y, y};
    for (int i = 0; i < 4; ++i) {
        if (uint64_t(rows[i]) >= uint64_t(t.height))
            continue;
        uint8_t* p = t.bits + rows[i] * t.width;
        const int64_t a = offsets[i];
        const int64_t cols[4] = {t.cx + a, t.cx - a, t.cx + a + 1, t.cx - a - 1};
        for (int64_t c : cols)
            if (uint64_t(c) < uint64_t(t.width))
                p[c] = t.v;
    }
}

// Centre inside the grid: the reach on each side decides which cells exist.
inline void insideStep(const CircleTarget t, int64_t x, int64_t y)
{
    const int64_t right = t.width - 1 - t.cx, left = t.cx, below = t.height - 1 - t.cy, above = t.cy;
    uint8_t* const centre = t.bits + t.cy * t.width + t.cx;
    const uint8_t v = t.v;
    auto pair = [right, left, v](uint8_t* p, int64_t a) { // columns +- a and +- (a + 1)
        if (a <= right) {
            p[a] = v;
            if (a < right)
                p[a + 1] = v;
        }
        if (a <= left) {
            p[-a] = v;
            if (a < left)
                p[-a - 1] = v;
        }
    };
    if (y <= below)
        pair(centre + y * t.width, x);
    if (y <= above)
        pair(centre - y * t.width, x);
    if (x <= below)
        pair(centre + x * t.width, y);
    if (x <= above)
        pair(centre - x * t.width, y);
}

// Runs the steps xs .. xe of the circle of radius r (clipped to its loop), starting from the
// nearest state known directly.
template <void (*Step)(CircleTarget, int64_t, int64_t)>
void runCircleSteps(const CircleTarget t, const CircleSteps circle, int64_t xs, int64_t xe)
{
    const int64_t r = circle.r;
    int64_t x = 0, y = r, d = 3 - 2 * r;
    const int64_t start = std::min(xs, circle.lastDirectStart());
    if (start > 0) {
        x = start;
        y = circle.yAt(x);
        d = 2 * (x + 1) * (x + 1) + y * y + (y - 1) * (y - 1) - 2 * r * r;
    }
    midpointCircleSteps(x, y, d, [&](int64_t sx, int64_t sy) {
        if (sx > xe)
            return false;
        if (sx >= xs)
            Step(t, sx, sy);
        return true;
    });
}

} // namespace

// Each step writes two cells either side of the centre in four rows: rows cy +- y at columns
// cx +- x, cx +- (x + 1), and rows cy +- x at columns cx +- y, cx +- (y + 1). For a centre
// inside the grid only the steps that can reach it are run: the first pair of rows needs
// y <= the farthest row and x <= the farthest column, the second pair the other way round;
// both give a range of steps (y only falls as x grows).
void maskCircle(MaskGrid& m, int cx, int cy, int r, uint8_t v)
{
    if (r < 0)
        return;
    const CircleTarget t{m.Bits, m.W, m.H, cx, cy, v};
    const CircleSteps circle{r};
    const bool centreInside = cx >= 0 && cy >= 0 && cx < m.W && cy < m.H;
    if (!centreInside || r < 8) {
        runCircleSteps<clippedStep>(t, circle, 0, INT64_MAX);
        return;
    }
    const int64_t rowFar = std::max(cy, m.H - 1 - cy), colFar = std::max(cx, m.W - 1 - cx);
    // Every point lies at least r - 1 from the centre.
    if ((r - 2) * int64_t(r - 2) > rowFar * rowFar + colFar * colFar)
        return;
    const int64_t direct = circle.lastDirectStart();
    int64_t aFrom = std::min(circle.firstWithYAtMost(rowFar), direct), aTo = colFar;
    int64_t bFrom = std::min(circle.firstWithYAtMost(colFar), direct), bTo = rowFar;
    if (aFrom > bFrom) {
        std::swap(aFrom, bFrom);
        std::swap(aTo, bTo);
    }
    if (bFrom <= aTo + 1) {
        runCircleSteps<insideStep>(t, circle, aFrom, std::max(aTo, bTo));
    } else {
        runCircleSteps<insideStep>(t, circle, aFrom, aTo);
        runCircleSteps<insideStep>(t, circle, bFrom, bTo);
    }
}

GradientBand::GradientBand(int progress, int n)
    : m_progress(progress)
    , m_step(n == 0 ? 2.0 * progress : 2.0 * progress / n)
{
}

namespace {
uint8_t clampLevel(double x)
{
    const int v = MulDiv(int32_t(RoundHalfEven(x)), 255, 100);
    return uint8_t(std::clamp(v, 0, 255));
}
} // namespace

uint8_t GradientBand::level(int k) const
{
    if (m_progress == 100)
        return 255;
    return clampLevel(2.0 * m_progress - k * m_step);
}

uint8_t GradientBand::halfStepLevel(int k) const
{
    if (m_progress == 100)
        return 255;
    return clampLevel(2.0 * m_progress - k * m_step / 2);
}

std::vector<int32_t> GradientBand::levels(int last) const
{
    std::vector<int32_t> out(size_t(std::max(last + 1, 0)));
    for (int k = 0; k <= last; ++k)
        out[size_t(k)] = level(k);
    return out;
}

std::vector<int32_t> GradientBand::halfStepLevels(int last) const
{
    std::vector<int32_t> out(size_t(std::max(last + 1, 0)));
    for (int k = 0; k <= last; ++k)
        out[size_t(k)] = halfStepLevel(k);
    return out;
}

int fadeLevel(int progress)
{
    return MulDiv(progress, 255, 100);
}

void invertCells(uint8_t* p, size_t count, InKind kind, uint8_t level)
{
    switch (kind) {
    case InKind::Slide:
        for (size_t i = 0; i < count; ++i)
            p[i] = p[i] ? 0 : 255;
        break;
    case InKind::Fade:
        for (size_t i = 0; i < count; ++i)
            p[i] = p[i] ? 0 : level;
        break;
    case InKind::Smooth:
        for (size_t i = 0; i < count; ++i)
            p[i] = uint8_t(255 - p[i]);
        break;
    }
}
