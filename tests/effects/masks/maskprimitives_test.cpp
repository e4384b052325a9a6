#include "effects/masks/linerows.h"
#include "effects/masks/maskprimitives.h"
#include "platform/arith.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

// The line exactly as the accumulator rule reads, point by point, for comparison.
void referenceLine(std::vector<uint8_t>& mask, int W, int H, int x0, int y0, int x1, int y1, uint8_t v)
{
    auto plot = [&](int x, int y) {
        if (x >= 0 && x < W && y >= 0 && y < H)
            mask[size_t(y) * W + x] = v;
    };
    const int dx = x1 - x0, dy = y1 - y0;
    const int n = std::max(std::abs(dx), std::abs(dy));
    int x = x0, y = y0, ex = 0, ey = 0;
    plot(x, y);
    for (int i = 0; i <= n; ++i) {
        ex += std::abs(dx);
        ey += std::abs(dy);
        bool stepped = false;
        if (ex > n) {
            ex -= n;
            x += dx > 0 ? 1 : -1;
            stepped = true;
        }
        if (ey > n) {
            ey -= n;
            y += dy > 0 ? 1 : -1;
            stepped = true;
        }
        if (stepped)
            plot(x, y);
    }
}

// The midpoint circle point by point, all sixteen points of every step.
void referenceCircle(std::vector<uint8_t>& mask, int W, int H, int cx, int cy, int r, uint8_t v)
{
    auto plot = [&](int x, int y) {
        if (x >= 0 && x < W && y >= 0 && y < H)
            mask[size_t(y) * W + x] = v;
    };
    auto step = [&](int x, int y) {
        for (int xs = x; xs <= x + 1; ++xs) {
            plot(cx + xs, cy + y);
            plot(cx - xs, cy + y);
            plot(cx + xs, cy - y);
            plot(cx - xs, cy - y);
        }
        for (int ys = y; ys <= y + 1; ++ys) {
            plot(cx + ys, cy + x);
            plot(cx - ys, cy + x);
            plot(cx + ys, cy - x);
            plot(cx - ys, cy - x);
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

} // namespace

TEST(MaskLine, MatchesTheAccumulatorRuleInsideAndAcrossTheGrid)
{
    std::mt19937 rng(7);
    const int sizes[][2] = {{1, 1}, {13, 7}, {7, 13}, {40, 3}, {64, 64}};
    for (const auto& s : sizes) {
        const int W = s[0], H = s[1];
        std::uniform_int_distribution<int> cx(-2 * W - 3, 3 * W + 3), cy(-2 * H - 3, 3 * H + 3);
        for (int i = 0; i < 3000; ++i) {
            const int x0 = cx(rng), y0 = cy(rng), x1 = cx(rng), y1 = cy(rng);
            std::vector<uint8_t> got(size_t(W) * H, 0), want(size_t(W) * H, 0);
            MaskGrid m{got.data(), W, H};
            maskLine(m, x0, y0, x1, y1, 200);
            referenceLine(want, W, H, x0, y0, x1, y1, 200);
            ASSERT_EQ(got, want) << W << "x" << H << " line " << x0 << "," << y0 << " -> " << x1 << "," << y1;
        }
    }
}

TEST(MaskLine, StrictStepLeavesTheStartAloneThenReachesTheEnd)
{
    // (0, 0) -> (4, 1): the y accumulator passes 4 only on the last step, so y changes at the end.
    std::vector<uint8_t> got(5 * 2, 0);
    MaskGrid m{got.data(), 5, 2};
    maskLine(m, 0, 0, 4, 1, 9);
    const std::vector<uint8_t> want = {9, 9, 9, 9, 0, 0, 0, 0, 0, 9};
    EXPECT_EQ(got, want);
}

TEST(MaskCircle, RadiusZeroIsThreeCellsAndConsecutiveRadiiLeaveNoGaps)
{
    std::vector<uint8_t> mask(7 * 5, 0);
    MaskGrid m{mask.data(), 7, 5};
    maskCircle(m, 3, 2, 0, 255);
    int set = 0;
    for (uint8_t v : mask)
        set += v != 0;
    EXPECT_EQ(set, 3);
    EXPECT_EQ(mask[2 * 7 + 2], 255);
    EXPECT_EQ(mask[2 * 7 + 3], 255);
    EXPECT_EQ(mask[2 * 7 + 4], 255);

    const int W = 121, H = 121;
    std::vector<uint8_t> disc(size_t(W) * H, 0);
    MaskGrid d{disc.data(), W, H};
    for (int r = 0; r <= 50; ++r)
        maskCircle(d, 60, 60, r, 255);
    for (int y = 0; y < H; ++y) {
        int first = -1, last = -1, count = 0;
        for (int x = 0; x < W; ++x)
            if (disc[size_t(y) * W + x]) {
                if (first < 0)
                    first = x;
                last = x;
                ++count;
            }
        if (count) {
            EXPECT_EQ(count, last - first + 1) << "gap in row " << y;
        }
        EXPECT_EQ(count > 0, y >= 60 - 50 && y <= 60 + 50) << "row " << y;
    }
}

TEST(MaskCircle, SkippingStepsOutsideTheGridDrawsTheSameCells)
{
    const int sizes[][2] = {{1, 1}, {7, 5}, {40, 13}, {13, 40}, {121, 67}};
    for (const auto& s : sizes) {
        const int W = s[0], H = s[1];
        const int centres[][2] = {{W / 2, H / 2}, {0, H - 1}, {W - 1, 0}, {-4, H / 3}, {W + 9, H + 2}};
        for (const auto& c : centres)
            for (int r = -1; r <= 3 * (W + H) + 20; ++r) {
                std::vector<uint8_t> got(size_t(W) * H, 0), want(size_t(W) * H, 0);
                MaskGrid m{got.data(), W, H};
                maskCircle(m, c[0], c[1], r, 77);
                referenceCircle(want, W, H, c[0], c[1], r, 77);
                ASSERT_EQ(got, want) << W << "x" << H << " centre " << c[0] << "," << c[1] << " r " << r;
            }
    }
    // Large radii about the corner and the centre of a full-screen grid, where most steps are
    // skipped.
    const int W = 1921, H = 1081;
    std::vector<uint8_t> got(size_t(W) * H), want(size_t(W) * H);
    for (const auto& c : {std::pair{0, H - 1}, std::pair{W / 2, H / 2}})
        for (int r = 0; r <= 2300; r += (r > 1070 && r < 1090) || (r > 1520 && r < 1535) ? 1 : 37) {
            std::fill(got.begin(), got.end(), 0);
            std::fill(want.begin(), want.end(), 0);
            MaskGrid m{got.data(), W, H};
            maskCircle(m, c.first, c.second, r, 1);
            referenceCircle(want, W, H, c.first, c.second, r, 1);
            ASSERT_EQ(got, want) << "centre " << c.first << "," << c.second << " r " << r;
        }
}

TEST(GradientBand, StartsAtTwiceTheProgressAndEndsAtZero)
{
    const GradientBand band(30, 10);
    EXPECT_EQ(band.level(0), 153); // MulDiv(60, 255, 100)
    EXPECT_EQ(band.level(5), 77);  // Round(30) -> 76.5 -> 77
    EXPECT_EQ(band.level(10), 0);
    EXPECT_EQ(band.level(11), 0);  // clamped
    EXPECT_EQ(GradientBand(80, 4).level(0), 255);
    EXPECT_EQ(GradientBand(100, 4).level(4), 255);
    EXPECT_EQ(GradientBand(25, 0).level(0), 128); // n = 0: step 2P
    // Halves of the rounded value go to the even neighbour: 2P - k * s = 2.5 -> 2.
    EXPECT_EQ(GradientBand(5, 4).level(3), 5); // MulDiv(2, 255, 100)
}

// One line painted as a family: its cells row by row (the first and last line of every row are
// the line itself) must be the mask line's, wherever it lies, degenerate ones included.
TEST(LineRows, ALinePaintedInRowsCoversTheMaskLinesCells)
{
    std::mt19937 rng(11);
    const int sizes[][2] = {{1, 1}, {13, 7}, {7, 13}, {40, 3}, {3, 40}};
    for (const auto& s : sizes) {
        const int W = s[0], H = s[1];
        std::uniform_int_distribution<int> cx(-W - 3, 2 * W + 3), cy(-H - 3, 2 * H + 3);
        for (int i = 0; i < 3000; ++i) {
            const int x0 = cx(rng), y0 = cy(rng);
            const int x1 = i % 3 == 0 ? x0 : cx(rng), y1 = i % 3 == 1 ? y0 : cy(rng);
            std::vector<uint8_t> got(size_t(W) * H, 0), want(size_t(W) * H, 0);
            MaskGrid g{got.data(), W, H}, w{want.data(), W, H};
            paintLineFamily(g, {{x0, y0, x1, y1}}, 200);
            maskLine(w, x0, y0, x1, y1, 200);
            ASSERT_EQ(got, want) << W << "x" << H << " line " << x0 << "," << y0 << " -> " << x1 << "," << y1;
        }
    }
}
