#include "maskprimitives.h"

#include "arith.h"

#include <algorithm>
#include <cstdlib>

namespace {

int64_t floorDiv(int64_t a, int64_t b) // b > 0
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int64_t ceilDiv(int64_t a, int64_t b) // b > 0
{
    return -floorDiv(-a, b);
}

// Index range [lo, hi] of j for which base + dir * j lies in [0, size).
void clipAxis(int64_t base, int dir, int64_t size, int64_t& lo, int64_t& hi)
{
    if (dir > 0) {
        lo = std::max(lo, -base);
        hi = std::min(hi, size - 1 - base);
    } else if (dir < 0) {
        lo = std::max(lo, base - (size - 1));
        hi = std::min(hi, base);
    } else if (base < 0 || base >= size) {
        hi = lo - 1;
    }
}

} // namespace

// Point j (0 .. n) of the line lies at major offset j and minor offset
// m(j) = ((j + 1) * a - 1) div n, a being the minor extent: the start point is plotted, the
// first step moves neither axis (each accumulator reaches at most n, which is not > n), and
// every later step moves the major axis while the minor one moves when its sum passes a
// multiple of n. The clipped range of j is computed directly; inside it the minor offset is
// advanced with a remainder.
void maskLine(MaskGrid& m, int x0, int y0, int x1, int y1, uint8_t v)
{
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
    const int64_t n = std::max(adx, ady);
    if (n == 0) {
        m.plot(x0, y0, v);
        return;
    }
    if (dy == 0) { // horizontal
        int64_t lo = std::min<int64_t>(x0, x1), hi = std::max<int64_t>(x0, x1);
        if (y0 < 0 || y0 >= m.H)
            return;
        lo = std::max<int64_t>(lo, 0);
        hi = std::min<int64_t>(hi, m.W - 1);
        if (lo <= hi)
            std::memset(m.row(y0) + lo, v, size_t(hi - lo + 1));
        return;
    }
    if (dx == 0) { // vertical
        int64_t lo = std::min<int64_t>(y0, y1), hi = std::max<int64_t>(y0, y1);
        if (x0 < 0 || x0 >= m.W)
            return;
        lo = std::max<int64_t>(lo, 0);
        hi = std::min<int64_t>(hi, m.H - 1);
        for (int64_t y = lo; y <= hi; ++y)
            m.Bits[y * m.W + x0] = v;
        return;
    }

    const bool xMajor = adx >= ady;
    const int64_t a = xMajor ? ady : adx; // minor extent, 1 .. n
    const int majorDir = xMajor ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1);
    const int minorDir = xMajor ? (dy > 0 ? 1 : -1) : (dx > 0 ? 1 : -1);
    const int64_t majorBase = xMajor ? x0 : y0, minorBase = xMajor ? y0 : x0;
    const int64_t majorSize = xMajor ? m.W : m.H, minorSize = xMajor ? m.H : m.W;

    int64_t lo = 0, hi = n;
    clipAxis(majorBase, majorDir, majorSize, lo, hi);
    // Minor offsets t that keep the minor coordinate inside the grid.
    int64_t tLo = 0, tHi = a;
    clipAxis(minorBase, minorDir, minorSize, tLo, tHi);
    if (tLo > tHi || lo > hi)
        return;
    // m(j) >= tLo  <=>  j >= ceil((tLo * n + 1) / a) - 1;  m(j) <= tHi  <=>  j <= (tHi + 1) * n / a - 1.
    lo = std::max(lo, ceilDiv(tLo * n + 1, a) - 1);
    hi = std::min(hi, floorDiv((tHi + 1) * n, a) - 1);
    if (lo > hi)
        return;

    int64_t num = (lo + 1) * a - 1;
    int64_t t = num / n, rem = num % n;
    const int64_t majorStride = xMajor ? 1 : m.W, minorStride = xMajor ? m.W : 1;
    const int64_t stepMajor = majorDir * majorStride, stepMinor = minorDir * minorStride;
    const int64_t major = majorBase + majorDir * lo, minor = minorBase + minorDir * t;
    int64_t index = xMajor ? minor * m.W + major : major * m.W + minor;
    for (int64_t j = lo; j <= hi; ++j) {
        m.Bits[index] = v;
        index += stepMajor;
        rem += a;
        if (rem >= n) {
            rem -= n;
            index += stepMinor;
        }
    }
}

void maskPolygon(MaskGrid& m, const int (*corners)[2], int count, uint8_t v)
{
    for (int i = 0; i < count; ++i) {
        const int* a = corners[i];
        const int* b = corners[(i + 1) % count];
        maskLine(m, a[0], a[1], b[0], b[1], v);
    }
}

void maskRectOutline(MaskGrid& m, int x0, int y0, int x1, int y1, uint8_t v)
{
    maskLine(m, x0, y0, x1, y0, v);
    maskLine(m, x1, y0, x1, y1, v);
    maskLine(m, x1, y1, x0, y1, v);
    maskLine(m, x0, y1, x0, y0, v);
}

void maskDiamond(MaskGrid& m, int cx, int cy, int a, int b, uint8_t v)
{
    maskLine(m, cx, cy + b, cx - a, cy, v);
    maskLine(m, cx - a, cy, cx, cy - b, v);
    maskLine(m, cx, cy - b, cx + a, cy, v);
    maskLine(m, cx + a, cy, cx, cy + b, v);
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

void maskCircle(MaskGrid& m, int cx, int cy, int r, uint8_t v)
{
    auto step = [&](int x, int y) {
        for (int xs = x; xs <= x + 1; ++xs) {
            m.plot(cx + xs, cy + y, v);
            m.plot(cx - xs, cy + y, v);
            m.plot(cx + xs, cy - y, v);
            m.plot(cx - xs, cy - y, v);
        }
        for (int ys = y; ys <= y + 1; ++ys) {
            m.plot(cx + ys, cy + x, v);
            m.plot(cx - ys, cy + x, v);
            m.plot(cx + ys, cy - x, v);
            m.plot(cx - ys, cy - x, v);
        }
    };
    int x = 0, y = r, d = 3 - 2 * r;
    while (x < y) {
        step(x, y);
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - y) + 10;
            --y;
        }
        ++x;
    }
    if (x == y)
        step(x, y);
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

int fadeLevel(int progress)
{
    return MulDiv(progress, 255, 100);
}

void invertedVariant(MaskGrid& m, int progress, InKind kind, MaskGenerator out)
{
    if (progress == 0)
        return;
    out(m, 100 - progress);
    uint8_t* p = m.Bits;
    const size_t count = m.size();
    switch (kind) {
    case InKind::Slide:
        for (size_t i = 0; i < count; ++i)
            p[i] = p[i] ? 0 : 255;
        break;
    case InKind::Fade: {
        const uint8_t level = uint8_t(std::clamp(fadeLevel(progress), 0, 255));
        for (size_t i = 0; i < count; ++i)
            p[i] = p[i] ? 0 : level;
        break;
    }
    case InKind::Smooth:
        for (size_t i = 0; i < count; ++i)
            p[i] = uint8_t(255 - p[i]);
        break;
    }
}
