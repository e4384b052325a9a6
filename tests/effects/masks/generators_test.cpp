#include "tests/effects/engine/enginetestsupport.h"
#include "effects/bitmap/dispatch.h"
#include "platform/arith.h"
#include "effects/masks/cellruns.h"
#include "effects/masks/maskprimitives.h"
#include "effects/masks/maskrows.h"
#include "effects/masks/pixelorder.h"
#include "effects/masks/randomgen.h"
#include "effects/masks/shapecover.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

const int gridSizes[][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {7, 5}, {5, 7}, {47, 33},
                            {33, 47}, {64, 3}, {3, 64}, {200, 17}, {17, 200}, {317, 40}};

bool named(const BuiltinEffect& e, const char* name)
{
    return std::strcmp(e.Name, name) == 0;
}

const BuiltinEffect& effect(const char* name)
{
    for (const BuiltinEffect& e : builtinEffects())
        if (named(e, name))
            return e;
    throw std::runtime_error(name);
}

int countNonzero(const std::vector<uint8_t>& mask)
{
    return int(std::count_if(mask.begin(), mask.end(), [](uint8_t v) { return v != 0; }));
}

} // namespace

TEST(FadeGenerators, ProgressZeroLeavesTheMaskEmptyExceptTheDocumentedShapes)
{
    for (const BuiltinEffect& e : fadeEffects()) {
        for (const auto& s : gridSizes) {
            const int W = s[0], H = s[1], cx = W / 2, cy = H / 2;
            const auto mask = fadeMask(fadeOf(e), W, H, 0);
            SCOPED_TRACE(std::string(e.Name) + " " + std::to_string(W) + "x" + std::to_string(H));
            if (named(e, "Stream")) {
                // Only the top cells of columns without delay.
                EXPECT_EQ(countNonzero(mask), std::count(mask.begin(), mask.begin() + W, 255));
            } else if (named(e, "CircleSlideOut")) {
                EXPECT_EQ(mask[size_t(cy) * W + cx], 255); // radius 0: the centre and its row neighbours
                EXPECT_EQ(countNonzero(mask), std::min(W, cx + 2) - std::max(0, cx - 1));
            } else if (named(e, "CircleSlide")) {
                EXPECT_EQ(mask[size_t(H - 1) * W], 255); // the corner
                EXPECT_EQ(countNonzero(mask), std::min(W, 2));
            } else if (named(e, "CircleSlideIn")) {
                // The ring of radius R = Round(D) div 2 about the centre, nothing inside it.
                const int R = int(std::nearbyint(std::sqrt(double(W) * W + double(H) * H))) / 2;
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x)
                        if (std::hypot(x - cx, y - cy) < R - 1.5) {
                            EXPECT_EQ(mask[size_t(y) * W + x], 0) << x << "," << y;
                        }
            } else {
                EXPECT_EQ(countNonzero(mask), 0);
            }
        }
    }
}

TEST(FadeGenerators, FullProgressCoversEveryGridExceptWidePixelLines)
{
    for (const BuiltinEffect& e : fadeEffects())
        for (const auto& s : gridSizes) {
            const auto mask = fadeMask(fadeOf(e), s[0], s[1], 100);
            EXPECT_EQ(std::count(mask.begin(), mask.end(), 255), qsizetype(mask.size()))
                << e.Name << " " << s[0] << "x" << s[1];
        }
    // "Pixel line" ramps down to the right: beyond about 317 columns the last ones stay below 255.
    const int W = 400, H = 6;
    const auto mask = fadeMask(fadeOf(effect("Pixel line")), W, H, 100);
    for (int y = 0; y < H; ++y) {
        EXPECT_EQ(mask[size_t(y) * W], 255);
        EXPECT_LT(mask[size_t(y) * W + W - 1], 255);
        EXPECT_GT(mask[size_t(y) * W + W - 1], 0);
    }
}

TEST(FadeGenerators, OneCellGridsAndOddProgressStayInsideTheGrid)
{
    // Guard bytes after the grid must survive every effect at every progress.
    for (const BuiltinEffect& e : fadeEffects())
        for (const auto& s : gridSizes)
            for (int p = 0; p <= 100; p += 7) {
                const size_t n = size_t(s[0]) * s[1];
                std::vector<uint8_t> buf(n + 64, 0);
                std::fill(buf.begin() + n, buf.end(), 0xA5);
                fadeOf(e)(buf.data(), s[0], s[1], uint8_t(p));
                EXPECT_TRUE(std::all_of(buf.begin() + n, buf.end(), [](uint8_t v) { return v == 0xA5; }))
                    << e.Name << " " << s[0] << "x" << s[1] << " P=" << p;
            }
}

TEST(FadeGenerators, EveryProgressIsRepeatable)
{
    // The same mask whatever ran before: another seed, a higher progress, another grid size.
    const int progress[] = {13, 50, 88};
    for (const BuiltinEffect& e : fadeEffects()) {
        std::vector<std::vector<uint8_t>> first;
        for (int p : progress) {
            RandSeed = 1;
            first.push_back(fadeMask(fadeOf(e), 47, 33, p));
        }
        for (int i = 2; i >= 0; --i) {
            RandSeed = 999;
            fadeMask(fadeOf(e), 33, 47, 100);
            EXPECT_EQ(fadeMask(fadeOf(e), 47, 33, progress[i]), first[size_t(i)]) << e.Name << " P=" << progress[i];
        }
    }
}

TEST(FadeGenerators, InVariantsAreTheirOutGeneratorTurnedAround)
{
    struct Pair {
        const char* in;
        const char* out;
        char kind; // 'S'lide, 'F'ade, s'm'ooth
    };
    const Pair pairs[] = {{"SlideCrossIn", "SlideCrossOut", 'S'}, {"SlideRectIn", "SlideRectOut", 'S'},
                          {"DiamondSlideIn", "DiamondSlideOut", 'S'}, {"FadeCrossIn", "FadeCrossOut", 'F'},
                          {"FadeRectIn", "FadeRectOut", 'F'}, {"DiamondFadeIn", "DiamondFadeOut", 'F'},
                          {"SmoothCrossIn", "SmoothCrossOut", 'm'}, {"SmoothRectIn", "SmoothRectOut", 'm'},
                          {"CircleSmoothIn", "CircleSmoothOut", 'm'}, {"DiamondSmoothIn", "DiamondSmoothOut", 'm'}};
    for (const Pair& pair : pairs)
        for (int p : {1, 30, 64, 99}) {
            const auto in = fadeMask(fadeOf(effect(pair.in)), 47, 33, p);
            const auto out = fadeMask(fadeOf(effect(pair.out)), 47, 33, 100 - p);
            const uint8_t v = uint8_t(MulDiv(p, 255, 100));
            for (size_t i = 0; i < in.size(); ++i) {
                const uint8_t want = pair.kind == 'm' ? uint8_t(255 - out[i])
                                                      : (out[i] ? 0 : (pair.kind == 'S' ? 255 : v));
                ASSERT_EQ(in[i], want) << pair.in << " P=" << p << " cell " << i;
            }
        }
}

TEST(FadeGenerators, FadeAndFixedLevelsUseTheirOwnRounding)
{
    // "Fade" rounds halves to even: 50% of 255 = 127.5 -> 128, 10% = 25.5 -> 26, 30% = 76.5 -> 76.
    EXPECT_EQ(fadeMask(fadeOf(effect("Fade")), 3, 2, 50)[5], 128);
    EXPECT_EQ(fadeMask(fadeOf(effect("Fade")), 3, 2, 10)[0], 26);
    EXPECT_EQ(fadeMask(fadeOf(effect("Fade")), 3, 2, 30)[0], 76);
    // The Fade families use MulDiv, halves away from zero: 30% -> 77.
    EXPECT_EQ(fadeMask(fadeOf(effect("FadeDown")), 3, 2, 30)[0], 77);
    // Rows from the top: rows 0 .. MulDiv(P, H - 1, 100).
    const auto down = fadeMask(fadeOf(effect("SlideDown")), 4, 10, 50); // MulDiv(50, 9, 100) = 5 (4.5 away from zero)
    EXPECT_EQ(countNonzero(down), 6 * 4);
}

TEST(PixelFamily, ChosenCellsGrowAsNestedSetsAndMatchDrawingOneByOne)
{
    // Also with the order drawn ahead on its own thread, as a transition's set-up starts it, and
    // with a frame holding from the start, so that the frames draw on the thread's order in place
    // until half way and the thread then finishes it.
    enum Ahead { none, running, heldFirst };
    for (const Ahead ahead : {none, running, heldFirst})
    for (const char* name : {"Pixel", "Pixel fade", "Pixel line"})
        for (const auto& s : {std::pair{13, 7}, std::pair{40, 30}, std::pair{1, 1}, std::pair{330, 3}, std::pair{300, 200}}) {
            const int W = s.first, H = s.second, N = W * H;
            std::optional<PixelOrderFrameHold> hold;
            if (ahead != none) {
                releasePixelOrderCache();
                if (ahead == heldFirst)
                    hold.emplace();
                pixelOrder().prepareAhead(uint32_t(N));
            }
            std::vector<uint8_t> previous(size_t(N), 0);
            for (int p = 0; p <= 100; p += 5) {
                if (p == 50)
                    hold.reset();
                const auto mask = fadeMask(fadeOf(effect(name)), W, H, p);
                const uint32_t seedAfter = RandSeed;
                // Reference: restart from Seed = N and draw until k distinct cells came up.
                const long k = long(std::nearbyint(double(N) * p / 100));
                std::vector<uint8_t> chosen(size_t(N), 0);
                RandSeed = uint32_t(N);
                for (long i = 0; i < k; ++i) {
                    uint32_t c;
                    do
                        c = Random(uint32_t(N));
                    while (chosen[c]);
                    chosen[c] = 1;
                }
                EXPECT_EQ(seedAfter, RandSeed) << name << " P=" << p;
                for (int i = 0; i < N; ++i) {
                    if (mask[size_t(i)]) {
                        ASSERT_TRUE(chosen[size_t(i)]) << name << " P=" << p << " cell " << i;
                    }
                    if (std::strcmp(name, "Pixel line") != 0) {
                        ASSERT_EQ(bool(mask[size_t(i)]), bool(chosen[size_t(i)])) << name << " P=" << p;
                    }
                    if (previous[size_t(i)]) {
                        ASSERT_TRUE(mask[size_t(i)]) << name << " lost a cell at P=" << p;
                    }
                }
                previous = mask;
            }
        }
}

// The last cells of an order found from their first draws against drawing on to the end: the
// same steps and seeds at every progress, at both levels of the search, and with the order drawn
// on its own thread (which shares the sift of its late draws with a second one where there is a
// second processor). The scalar search is left the cases of more than 2^23 states to search.
TEST(PixelFamily, LateCellsFromTheirFirstDrawsMatchDrawingOn)
{
    struct Case {
        int W, H;
        uint32_t late;
    };
    const Case cases[] = {{37, 29, 1}, {400, 300, 60}, {1921, 1081, 600}};
    static uint32_t late = 0;
    for (const Case& c : cases) {
        const uint32_t n = uint32_t(c.W * c.H);
        PixelOrder drawn([](uint32_t) { return 0u; });
        std::vector<uint32_t> seeds;
        for (int P = 0; P <= 100; ++P)
            seeds.push_back(drawn.choose(n, P).seed);
        std::vector<uint8_t> steps(n), lateSteps(n);
        drawn.choose(n, 100).steps.copy(0, n, steps.data());
        for (const SimdLevel level : {bestSimdLevel(), SimdLevel::Scalar}) {
            if (level == SimdLevel::Scalar && (uint64_t(1) << 32) / n * c.late > (uint64_t(1) << 23))
                continue;
            ASSERT_TRUE(rebuildDispatch(level));
            late = c.late;
            PixelOrder searched([](uint32_t) { return late; });
            for (int P = 0; P <= 100; ++P)
                ASSERT_EQ(searched.choose(n, P).seed, seeds[size_t(P)]) << c.W << "x" << c.H << " P=" << P;
            searched.choose(n, 100).steps.copy(0, n, lateSteps.data());
            ASSERT_EQ(lateSteps, steps) << c.W << "x" << c.H;
        }
        rebuildDispatch(bestSimdLevel());
        PixelOrder ahead([](uint32_t) { return late; });
        ahead.prepareAhead(n);
        for (int P = 0; P <= 100; ++P)
            ASSERT_EQ(ahead.choose(n, P).seed, seeds[size_t(P)]) << c.W << "x" << c.H << " ahead, P=" << P;
        ahead.choose(n, 100).steps.copy(0, n, lateSteps.data());
        ASSERT_EQ(lateSteps, steps) << c.W << "x" << c.H << " ahead";
    }
}

// The shape record against drawing the shapes, at the largest shape indices its cell word
// holds: on a row of four cells, cell 0 is reached by the first and the last shape only (its
// runs kept beside the word), cell 1 by the last eight shapes, cell 2 by the last shape only,
// cell 3 by none. Shape none is beyond the word and left to the drawing. The record is laid out
// ahead, as a transition's set-up does, and taken by the family.
TEST(ShapeRecord, LargestShapeIndicesGiveTheDrawnMask)
{
    constexpr int top = ShapeCover::none - 1;
    const MaskShape shape = [](int, int, int k, MaskPen& pen) {
        for (int x : {k == 0 || k == top ? 0 : -1, k >= top - 7 ? 1 : -1, k == top ? 2 : -1})
            if (x >= 0)
                pen.line(x, 0, x, 0);
    };
    std::vector<int32_t> levels(size_t(top) + 1);
    for (size_t k = 0; k < levels.size(); ++k)
        levels[k] = int32_t(k % 251 + 1);
    ShapeCover cover;
    cover.layOut(4, 1);
    for (const int n : {0, 1, top - 8, top - 7, top - 1, top}) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(cover.reach(shape, 4, 1, n));
        std::vector<uint8_t> recorded(4), drawn(4);
        MaskGrid grid{drawn.data(), 4, 1};
        cover.lastUpTo(recorded.data(), n, levels.data());
        drawMaskShapes(grid, shape, 0, n, levels.data());
        EXPECT_EQ(recorded, drawn);
        std::fill(drawn.begin(), drawn.end(), 0);
        cover.anyUpTo(recorded.data(), n, 200);
        drawMaskShapes(grid, shape, n, 200);
        EXPECT_EQ(recorded, drawn);
    }
    EXPECT_FALSE(cover.reach(shape, 4, 1, top + 1));
}

// The mask of each progress in turn, from the whole-grid procedure and, row by row, from its
// row plan.
std::vector<std::vector<uint8_t>> shapeMasks(const BuiltinEffect& e, int W, int H, const std::vector<int>& progress)
{
    std::vector<std::vector<uint8_t>> masks;
    for (const int p : progress) {
        masks.push_back(fadeMask(fadeOf(e), W, H, p));
        MaskRowPlan plan;
        std::vector<uint8_t> rows(size_t(W) * size_t(H));
        if (e.MaskRows(plan, W, H, uint8_t(p)))
            for (int y = 0; y < H; ++y)
                plan.row(rows.data() + size_t(y) * size_t(W), y);
        else
            rows = masks.back();
        masks.push_back(rows);
    }
    return masks;
}

// A record whose bands the set-up's thread records while frames read and record others gives
// the bytes of one the frames recorded alone, the progress rising, falling and jumping: with the
// frames at once after the set-up, after a second set-up that takes over the first one's half
// recorded bands, and after other families took the records while the thread recorded.
TEST(ShapeRecord, RecordingAheadGivesTheBytesOfFramesRecordingAlone)
{
    const std::vector<int> progress = {0, 5, 9, 33, 34, 71, 100, 97, 2, 60, 15, 1};
    constexpr int W = 401, H = 263; // several bands, the last one short
    for (const char* name : {"SmoothCrossIn", "DiamondSmoothOut", "SlideRectIn", "RotateSmooth", "SmoothDiagonalIn"}) {
        SCOPED_TRACE(name);
        const BuiltinEffect& e = effect(name);
        releaseShapeCovers();
        const auto alone = shapeMasks(e, W, H, progress);
        for (const int setUps : {1, 2}) {
            releaseShapeCovers();
            for (int i = 0; i < setUps; ++i)
                e.PrepareForGrid(W, H);
            EXPECT_EQ(shapeMasks(e, W, H, progress), alone) << setUps;
        }
        releaseShapeCovers();
        e.PrepareForGrid(W, H);
        (void)fadeMask(fadeOf(effect("DiamondFadeOut")), W, H, 40);
        (void)fadeMask(fadeOf(effect("RotateFade")), W, H, 40);
        EXPECT_EQ(shapeMasks(e, W, H, {progress.back()}), std::vector(alone.end() - 2, alone.end()));
    }
    effect("DiamondSmoothIn").PrepareForGrid(1921, 1081);
    releaseShapeCovers(); // while its thread records
}

TEST(Stream, MatchesTheStepByStepColumns)
{
    for (const auto& s : {std::pair{1, 1}, std::pair{16, 5}, std::pair{17, 9}, std::pair{60, 40}, std::pair{9, 120}})
        for (int p : {0, 1, 20, 50, 77, 100}) {
            const int W = s.first, H = s.second;
            const auto mask = fadeMask(fadeOf(effect("Stream")), W, H, p);
            const uint32_t seedAfter = RandSeed;
            // Reference: heads and floors moved one step at a time.
            std::vector<uint8_t> want(size_t(W) * H, 0);
            std::vector<int> head(static_cast<size_t>(W)), floor(static_cast<size_t>(W), H - 1);
            RandSeed = uint32_t(W * H);
            for (int x = 0; x < W; ++x)
                head[size_t(x)] = -int(Random(80));
            for (int j = 1; j <= 8; ++j)
                if (W - j - 1 >= j)
                    for (int x = j; x <= W - 1 - j; ++x)
                        head[size_t(x)] = (head[size_t(x) - 1] + 2 * head[size_t(x)] + head[size_t(x) + 1]) / 4;
            EXPECT_EQ(seedAfter, RandSeed);
            const int steps = MulDiv(H + 79, p, 100) + 1;
            for (int t = 0; t < steps; ++t)
                for (int x = 0; x < W; ++x) {
                    if (floor[size_t(x)] < head[size_t(x)]) {
                        head[size_t(x)] = 0;
                        --floor[size_t(x)];
                    } else {
                        if (head[size_t(x)] >= 0)
                            want[size_t(head[size_t(x)]) * W + x] = 255;
                        ++head[size_t(x)];
                    }
                }
            EXPECT_EQ(mask, want) << W << "x" << H << " P=" << p;
        }
}

TEST(SlideGenerators, InterlaceAndCornerMapEveryCellToItselfAtFullProgress)
{
    for (const char* name : {"Interlace", "Corner"})
        for (const auto& s : gridSizes) {
            const int W = s[0], H = s[1];
            const auto cells = slideCells(slideOf(effect(name)), W, H, 100);
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const TluxCell& c = cells[size_t(y) * W + x];
                    ASSERT_EQ(c.Alpha, 255) << name;
                    ASSERT_EQ(c.Reserved, 0) << name;
                    ASSERT_EQ(c.SourceX, x) << name;
                    ASSERT_EQ(c.SourceY, y) << name;
                }
        }
}

TEST(SlideGenerators, RowsAndCornerMoveByTheProgress)
{
    // Interlace at 40% on 10 columns: the shift is MulDiv(60, 10, 100) = 6.
    const auto cells = slideCells(slideOf(effect("Interlace")), 10, 2, 40);
    EXPECT_EQ(cells[0].SourceX, 6);  // even row comes from the right
    EXPECT_EQ(cells[10].SourceX, -6); // odd row from the left
    EXPECT_EQ(cells[19].SourceX, 3);
    // Corner at 50% on 9 x 5: a = 4, b = 2; the 5 x 3 top-left cells show the bottom-right part.
    const auto corner = slideCells(slideOf(effect("Corner")), 9, 5, 50);
    int shown = 0;
    for (const TluxCell& c : corner)
        shown += c.Alpha == 255;
    EXPECT_EQ(shown, 15);
    EXPECT_EQ(corner[0].SourceX, 4);
    EXPECT_EQ(corner[0].SourceY, 2);
    EXPECT_EQ(corner[2 * 9 + 4].SourceX, 8);
    EXPECT_EQ(corner[2 * 9 + 4].SourceY, 4);
    EXPECT_EQ(corner[2 * 9 + 5].Alpha, 0);
    // Nothing at progress 0.
    for (const char* name : {"Interlace", "Corner"})
        for (const TluxCell& c : slideCells(slideOf(effect(name)), 9, 5, 0))
            EXPECT_EQ(c.Alpha, 0);
}

// The row filler's vector steps (SSE2 and AVX2) against the record-by-record clamped fill, at
// every alignment (odd addresses too) and on runs that reach past either end of the 16-bit range; and the run
// search on those rows against counting record by record, also where a wrapped 16-bit
// coordinate would look like the next cell.
// Runs f with the dispatch table at one level.
template <typename F>
auto atLevel(SimdLevel level, F f)
{
    EXPECT_TRUE(rebuildDispatch(level));
    return f();
}

TEST(SlideGenerators, VectorRowsEqualTheClampedFillAndRunsEndWhereTheRecordsDo)
{
    struct Case {
        int n;
        int64_t firstX, y;
    };
    const Case cases[] = {{0, 0, 0},           {1, -3, 2},           {7, 5, 5},          {8, 0, 0},
                          {61, -30, 40000},    {1921, -1920, 7},     {50, 32740, 1},     {50, 32760, -1},
                          {50, -32790, -40000}, {40, -32768, 0},     {3000, -40000, 3},  {70000, -33000, 0},
                          {20, 32767, 0},      {20, int64_t(1) << 40, 9}};
    std::vector<SimdLevel> levels{SimdLevel::Sse2};
    if (bestSimdLevel() == SimdLevel::Avx2)
        levels.push_back(SimdLevel::Avx2);
    std::vector<TluxCell> fast(70032), slow(70032);
    for (const SimdLevel level : levels)
        for (const Case& c : cases)
            for (int offset = 0; offset < 16; offset += (c.n > 5000 ? 5 : 1)) {
                std::fill(fast.begin(), fast.end(), TluxCell{7, 7, 7, 7});
                std::fill(slow.begin(), slow.end(), TluxCell{7, 7, 7, 7});
                atLevel(level, [&] { cellruns::fillMovedRun(fast.data() + offset, c.n, c.firstX, c.y); });
                cellruns::fillMovedRunScalar(slow.data() + offset, c.n, c.firstX, c.y);
                ASSERT_EQ(0, std::memcmp(fast.data(), slow.data(), fast.size() * sizeof(TluxCell)))
                    << int(level) << ": " << c.n << " from " << c.firstX << " offset " << offset;
                if (c.n == 0)
                    continue;
                // Searched from a few cells, forwards and backwards, with a record that breaks the run
                // in the middle of a vector step (Reserved set elsewhere changes nothing).
                TluxCell* row = fast.data() + offset;
                row[c.n / 2].Reserved = 99;
                if (c.n > 40)
                    row[c.n - 21].Alpha = 254;
                for (int at : {0, c.n / 3, c.n - 1}) {
                    const int x = row[at].SourceX, y = row[at].SourceY;
                    ASSERT_EQ(atLevel(level, [&] { return cellruns::runLength(row + at, c.n - at, x, y); }),
                              atLevel(SimdLevel::Scalar, [&] { return cellruns::runLength(row + at, c.n - at, x, y); }))
                        << int(level) << ": " << c.n << " from " << c.firstX << " at " << at;
                    ASSERT_EQ(atLevel(level, [&] { return cellruns::runLengthBackwards(row + at, at + 1, x, y); }),
                              atLevel(SimdLevel::Scalar, [&] { return cellruns::runLengthBackwards(row + at, at + 1, x, y); }))
                        << int(level) << ": " << c.n << " from " << c.firstX << " at " << at;
                }
            }
    // A row at an odd address: the records are packed, so a caller may pass one.
    std::vector<unsigned char> bytes(100 * sizeof(TluxCell) + 1);
    auto* odd = reinterpret_cast<TluxCell*>(bytes.data() + 1);
    cellruns::fillMovedRunScalar(slow.data(), 100, -5, 1);
    for (const SimdLevel level : levels) {
        atLevel(level, [&] { cellruns::fillMovedRun(odd, 100, -5, 1); });
        ASSERT_EQ(0, std::memcmp(odd, slow.data(), 100 * sizeof(TluxCell))) << int(level);
    }
    // Runs of see-through records (other fields set) end at the first record with alpha.
    std::vector<TluxCell> gaps(100, TluxCell{0, 5, 6, 7});
    for (int at : {0, 1, 9, 16, 17, 40, 99})
        gaps[size_t(at)].Alpha = 1;
    for (int from = 0; from < 100; ++from) {
        int forwards = 0, backwards = 0;
        while (from + forwards < 100 && gaps[size_t(from + forwards)].Alpha == 0)
            ++forwards;
        while (backwards <= from && gaps[size_t(from - backwards)].Alpha == 0)
            ++backwards;
        ASSERT_EQ(cellruns::clearLength(gaps.data() + from, 100 - from), forwards) << from;
        ASSERT_EQ(cellruns::clearLengthBackwards(gaps.data() + from, from + 1), backwards) << from;
    }
    // Sources that wrap around 16 bits are not the next cell.
    std::vector<TluxCell> wrapped(40);
    for (int k = 0; k < 40; ++k)
        wrapped[size_t(k)] = TluxCell{255, 0, int16_t(32758 + k), 3};
    levels.push_back(SimdLevel::Scalar);
    for (const SimdLevel level : levels) {
        EXPECT_EQ(atLevel(level, [&] { return cellruns::runLength(wrapped.data(), 40, 32758, 3); }), 10);
        EXPECT_EQ(atLevel(level, [&] { return cellruns::runLengthBackwards(wrapped.data() + 39, 40, -32739, 3); }), 30);
    }
    rebuildDispatch(bestSimdLevel());
}
