#include "effects/masks/shapecover.h"

#include "effects/masks/coverpasses.h"

#include "effects/util/rowbands.h"

#include <algorithm>
#include <array>

namespace {

// Enough cells for a 4K picture at Resolution 1.
constexpr size_t maxCells = size_t(1) << 24;

} // namespace

// Marks the cells of shape k's lines. Shapes come in increasing k, so a cell's hits do too.
class ShapeCover::RecordPen final : public MaskPen
{
public:
    explicit RecordPen(ShapeCover& cover)
        : m_cover(cover)
        , m_cells(cover.m_cells.data())
    {
    }
    void line(int x0, int y0, int x1, int y1) override { walkMaskLine(m_cover.m_w, m_cover.m_h, x0, y0, x1, y1, *this); }

    void point(size_t i)
    {
        uint32_t& cell = m_cells[i];
        const uint16_t last = coverpass::lastOf(cell);
        if (last == k)
            return;
        const uint16_t first = coverpass::firstOf(cell);
        if (first == none) {
            cell = coverpass::cellWord(k, k);
            return;
        }
        if (cell & coverpass::brokenBit) {
            Runs& runs = m_cover.m_runs[uint32_t(i)];
            if (runs.back().second + 1 == k)
                runs.back().second = k;
            else
                runs.emplace_back(k, k);
        } else if (last + 1 != k) { // reached again after a shape that missed it
            cell |= coverpass::brokenBit;
            m_cover.m_runs[uint32_t(i)] = Runs{{first, last}, {k, k}};
            m_cover.m_brokenRows[i / size_t(m_cover.m_w)].push_back(uint32_t(i));
        }
        cell = (cell & 0xFFFF) | uint32_t(k) << 16;
    }
    void run(size_t i, size_t count)
    {
        for (size_t j = 0; j < count; ++j)
            point(i + j);
    }

    uint16_t k = 0;

private:
    ShapeCover& m_cover;
    uint32_t* m_cells;
};

void ShapeCover::reset(MaskShape shape, int W, int H)
{
    m_shape = shape;
    m_w = W;
    m_h = H;
    m_known = -1;
    const size_t cells = size_t(W) * size_t(H);
    m_cells.assign(cells <= maxCells ? cells : 0, coverpass::unreached);
    m_runs.clear();
    m_brokenRows.assign(m_cells.empty() ? 0 : size_t(H), {});
}

bool ShapeCover::reach(MaskShape shape, int W, int H, int n)
{
    if (fresh(W, H))
        m_shape = shape;
    else if (!serves(shape, W, H))
        reset(shape, W, H);
    // Shapes at none and beyond have no room in the record word.
    if (m_cells.size() != size_t(W) * size_t(H) || n >= int(none))
        return false;
    RecordPen pen(*this);
    while (m_known < n) {
        pen.k = uint16_t(++m_known);
        shape(W, H, m_known, pen);
    }
    return true;
}

void ShapeCover::anyUpTo(uint8_t* out, int n, uint8_t v) const
{
    const uint16_t high = uint16_t(n);
    const uint32_t* cells = m_cells.data();
    const size_t width = size_t(m_w);
    runInRowBands(m_h, [&](int, int y0, int y1) {
        const size_t from = size_t(y0) * width;
        coverpass::reachedLevel(out + from, cells + from, size_t(y1 - y0) * width, 0, high, v);
    });
}

void ShapeCover::lastUpTo(uint8_t* out, int n, const int32_t* levels) const
{
    const uint16_t high = uint16_t(n);
    const uint32_t* cells = m_cells.data();
    const size_t width = size_t(m_w);
    runInRowBands(m_h, [&](int, int y0, int y1) {
        const size_t from = size_t(y0) * width;
        coverpass::lastLevels(out + from, cells + from, size_t(y1 - y0) * width, high, levels);
        for (int y = y0; y < y1; ++y)
            mendRow(out + size_t(y) * width, y, n, levels);
    });
}

void ShapeCover::mendRow(uint8_t* out, int y, int n, const int32_t* levels) const
{
    const uint16_t high = uint16_t(n);
    const size_t rowStart = size_t(y) * size_t(m_w);
    for (const uint32_t cell : m_brokenRows[size_t(y)]) {
        const Runs& runs = m_runs.at(cell);
        for (auto r = runs.rbegin(); r != runs.rend(); ++r) {
            if (r->first <= high) {
                out[cell - rowStart] = uint8_t(levels[std::min(r->second, high)]);
                break;
            }
        }
    }
}

namespace {

// The records of the last two families drawn: a transition uses one, a test or a benchmark may
// go back and forth between two.
struct Covers {
    std::array<ShapeCover, 2> records;
    int newest = 0;

    ShapeCover* reach(MaskShape shape, int W, int H, int n)
    {
        int use = records[size_t(newest)].serves(shape, W, H) ? newest : 1 - newest;
        if (!records[size_t(use)].serves(shape, W, H))
            use = records[size_t(newest)].fresh(W, H) ? newest : 1 - newest; // else replace the older one
        newest = use;
        ShapeCover& cover = records[size_t(use)];
        return cover.reach(shape, W, H, n) ? &cover : nullptr;
    }

    void layOut(int W, int H)
    {
        if (records[0].gridIs(W, H) || records[1].gridIs(W, H))
            return;
        newest = 1 - newest; // replace the older one
        records[size_t(newest)].layOut(W, H);
    }
};

Covers& covers()
{
    static Covers c;
    return c;
}

} // namespace

void layOutShapeCover(int W, int H)
{
    covers().layOut(W, H);
}

void releaseShapeCovers()
{
    covers() = Covers{};
}

namespace generators {

void shapesUpTo(MaskGrid& m, MaskShape shape, int n, uint8_t v)
{
    if (n < 0)
        return;
    const ShapeCover* cover = covers().reach(shape, m.W, m.H, n);
    if (m.plan) {
        if (cover)
            m.plan->reached(cover->cells(), 0, uint16_t(n), v);
        else
            m.plan->fail();
    } else if (cover) {
        cover->anyUpTo(m.Bits, n, v);
    } else {
        drawMaskShapes(m, shape, n, v);
    }
}

void softShapesUpTo(MaskGrid& m, MaskShape shape, const std::vector<int32_t>& levels)
{
    const int n = int(levels.size()) - 1;
    if (n < 0)
        return;
    const ShapeCover* cover = covers().reach(shape, m.W, m.H, n);
    if (m.plan) {
        if (cover)
            m.plan->last(cover->cells(), uint16_t(n), levels, cover);
        else
            m.plan->fail();
    } else if (cover) {
        cover->lastUpTo(m.Bits, n, levels.data());
    } else {
        drawMaskShapes(m, shape, 0, n, levels.data());
    }
}

} // namespace generators
