#pragma once
// Drawing primitives shared by the mask generators. Every primitive clips to the grid.

#include <cstdint>
#include <cstring>

// A W x H byte mask, row-major, row 0 at the top.
struct MaskGrid {
    uint8_t* Bits;
    int W;
    int H;

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

// Closed outline through the given corners (the last one joins the first).
void maskPolygon(MaskGrid& m, const int (*corners)[2], int count, uint8_t v);

// Rectangle outline through the corners (x0, y0) and (x1, y1).
void maskRectOutline(MaskGrid& m, int x0, int y0, int x1, int y1, uint8_t v);

// Diamond outline about (cx, cy) with half-extents a (x) and b (y).
void maskDiamond(MaskGrid& m, int cx, int cy, int a, int b, uint8_t v);

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

// In variants of an Out generator: unless P = 0, run the Out generator at 100 - P, then
// replace every cell.
enum class InKind {
    Slide,  // nonzero -> 0, zero -> 255
    Fade,   // nonzero -> 0, zero -> V of P
    Smooth, // v -> 255 - v
};
using MaskGenerator = void (*)(MaskGrid& m, int progress);
void invertedVariant(MaskGrid& m, int progress, InKind kind, MaskGenerator out);
