#pragma once
// Drawing primitives shared by the mask generators. Every primitive clips to the grid.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class MaskRowPlan;

// A W x H byte mask, row-major, row 0 at the top. A planning grid has no bytes: the generators
// that can serve it leave their set-up in the plan instead of drawing (see maskrows.h).
struct MaskGrid {
    uint8_t* Bits;
    int W;
    int H;
    MaskRowPlan* plan = nullptr;

    bool contains(int x, int y) const { return unsigned(x) < unsigned(W) && unsigned(y) < unsigned(H); }
    void plot(int x, int y, uint8_t v)
    {
        if (contains(x, y))
            Bits[size_t(y) * size_t(W) + size_t(x)] = v;
    }
    uint8_t* row(int y) const { return Bits + size_t(y) * size_t(W); }
    size_t size() const { return size_t(W) * size_t(H); }
    void fill(uint8_t v) { std::memset(Bits, v, size()); }
};

// The mask line from (x0, y0) to (x1, y1): the start point, then n + 1 accumulator steps
// (n = the larger of |dx| and |dy|) in which an axis steps when its accumulator exceeds n
// strictly. Points outside the grid are skipped.
void maskLine(MaskGrid& m, int x0, int y0, int x1, int y1, uint8_t v);

namespace maskdetail {

inline int64_t floorDiv(int64_t a, int64_t b) // b > 0
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

inline int64_t ceilDiv(int64_t a, int64_t b) // b > 0
{
    return -floorDiv(-a, b);
}

// Index range [lo, hi] of j for which base + dir * j lies in [0, size).
inline void clipAxis(int64_t base, int dir, int64_t size, int64_t& lo, int64_t& hi)
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

} // namespace maskdetail

// The cells of the mask line inside a W x H grid, as row-major indices: sink.point(index) for
// each cell, or sink.run(index, count) for count cells of one row from index rightwards.
//
// Point j (0 .. n) of the line lies at major offset j and minor offset
// m(j) = ((j + 1) * a - 1) div n, a being the minor extent: the start point is plotted, the
// first step moves neither axis (each accumulator reaches at most n, which is not > n), and
// every later step moves the major axis while the minor one moves when its sum passes a
// multiple of n. The clipped range of j is computed directly; inside it the minor offset is
// advanced with a remainder.
template <typename Sink>
void walkMaskLine(int width, int height, int x0, int y0, int x1, int y1, Sink& sink)
{
    using namespace maskdetail;
    const int64_t W = width, H = height;
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t n = std::max(adx, ady);
    if (n == 0) {
        if (unsigned(x0) < unsigned(W) && unsigned(y0) < unsigned(H))
            sink.point(size_t(y0) * size_t(W) + size_t(x0));
        return;
    }
    if (dy == 0) { // horizontal
        int64_t lo = std::min<int64_t>(x0, x1), hi = std::max<int64_t>(x0, x1);
        if (y0 < 0 || y0 >= H)
            return;
        lo = std::max<int64_t>(lo, 0);
        hi = std::min<int64_t>(hi, W - 1);
        if (lo <= hi)
            sink.run(size_t(y0) * size_t(W) + size_t(lo), size_t(hi - lo + 1));
        return;
    }
    if (dx == 0) { // vertical
        int64_t lo = std::min<int64_t>(y0, y1), hi = std::max<int64_t>(y0, y1);
        if (x0 < 0 || x0 >= W)
            return;
        lo = std::max<int64_t>(lo, 0);
        hi = std::min<int64_t>(hi, H - 1);
        for (int64_t y = lo; y <= hi; ++y)
            sink.point(size_t(y * W + x0));
        return;
    }

    const bool xMajor = adx >= ady;
    const int64_t a = xMajor ? ady : adx; // minor extent, 1 .. n
    const int majorDir = xMajor ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1);
    const int minorDir = xMajor ? (dy > 0 ? 1 : -1) : (dx > 0 ? 1 : -1);
    const int64_t majorBase = xMajor ? x0 : y0, minorBase = xMajor ? y0 : x0;
    const int64_t majorSize = xMajor ? W : H, minorSize = xMajor ? H : W;

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

    const int64_t num = (lo + 1) * a - 1;
    int64_t rem = num % n;
    const int64_t t = num / n;
    const int64_t majorStride = xMajor ? 1 : W, minorStride = xMajor ? W : 1;
    const int64_t stepMajor = majorDir * majorStride, stepMinor = minorDir * minorStride;
    const int64_t major = majorBase + majorDir * lo, minor = minorBase + minorDir * t;
    int64_t index = xMajor ? minor * W + major : major * W + minor;
    for (int64_t j = lo; j <= hi; ++j) {
        sink.point(size_t(index));
        index += stepMajor;
        rem += a;
        if (rem >= n) { // predicted well: the minor steps come in long regular runs
            rem -= n;
            index += stepMinor;
        }
    }
}

// What the shapes of a generator family draw with: mask lines, each cell of a line at most once.
class MaskPen
{
public:
    virtual void line(int x0, int y0, int x1, int y1) = 0;

protected:
    ~MaskPen() = default;
};

// Shape k of a family on a W x H grid, drawn with the pen. A family draws shapes 0, 1, ... n in
// turn; the shapes depend on the grid size and k only.
using MaskShape = void (*)(int W, int H, int k, MaskPen& pen);

// Draws shapes lo .. hi of a family onto the mask, shape k with levels[k - lo] (0 .. 255).
void drawMaskShapes(MaskGrid& m, MaskShape shape, int lo, int hi, const int32_t* levels);
// Draws shapes 0 .. n of a family onto the mask, every one with v.
void drawMaskShapes(MaskGrid& m, MaskShape shape, int n, uint8_t v);

// Filled rectangle with inclusive corners, clipped.
void maskFillRect(MaskGrid& m, int x0, int y0, int x1, int y1, uint8_t v);

// Row y across the whole grid (the full-width line (0, y) -> (W - 1, y)).
void maskFillRow(MaskGrid& m, int y, uint8_t v);

// The midpoint circle's steps from the state (x, y, d) on (x = 0, y = r, d = 3 - 2r at the
// start): step(x, y) while x < y, then once more when x = y. step returns false to stop.
template <typename Step>
inline void midpointCircleSteps(int64_t x, int64_t y, int64_t d, Step&& step)
{
    while (x < y) {
        if (!step(x, y))
            return;
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

// Midpoint circle of radius r about (cx, cy) drawn two cells thick: each step (x, y) writes
// (cx +- x', cy +- y) for x' in {x, x + 1} and (cx +- y', cy +- x) for y' in {y, y + 1}.
void maskCircle(MaskGrid& m, int cx, int cy, int r, uint8_t v);

// Level of shape k of a soft edge of shapes 0 .. n at progress P:
// MulDiv(Round(2P - k * s), 255, 100) clamped to 0..255 with s = 2P / n (2P when n = 0),
// and 255 for every shape when P = 100.
class GradientBand
{
public:
    GradientBand(int progress, int n);
    uint8_t level(int k) const;
    // Level with a step of s / 2 per shape (the two-corner soft diagonals).
    uint8_t halfStepLevel(int k) const;
    // level(k), or halfStepLevel(k), for k = 0 .. last.
    std::vector<int32_t> levels(int last) const;
    std::vector<int32_t> halfStepLevels(int last) const;

private:
    int m_progress;
    double m_step;
};

// The fading level of the "Fade" families: MulDiv(P, 255, 100).
int fadeLevel(int progress);

// Half of n, truncated toward zero.
inline int half(int n)
{
    return n / 2;
}

// How the In variant of an Out generator replaces every cell of the Out generator's mask
// (invertedVariant, in maskrows.h).
enum class InKind {
    Slide,  // nonzero -> 0, zero -> 255
    Fade,   // nonzero -> 0, zero -> V of P
    Smooth, // v -> 255 - v
};
using MaskGenerator = void (*)(MaskGrid& m, int progress);
// The replacement of the In variants over count cells; level is the Fade kind's V.
void invertCells(uint8_t* p, size_t count, InKind kind, uint8_t level);
