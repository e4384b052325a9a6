#include "effects/masks/shapecover.h"

#include "effects/masks/coverpasses.h"

#include "effects/util/rowbands.h"

#include <algorithm>
#include <array>
#include <new>
#include <system_error>

namespace {

// Enough cells for a 4K picture at Resolution 1.
constexpr size_t maxCells = size_t(1) << 24;

// Rows of a band: at 4K its words (480 KB) stay in the processor's second-level cache while
// the band is recorded, and a frame that reaches a band still being recorded waits for a
// thirty-second of a tall grid's rows at most.
constexpr int bandRows = 32;

int bandCount(int H)
{
    return (H + bandRows - 1) / bandRows;
}

} // namespace

// Marks the cells of shape k's lines inside one band. Shapes come in increasing k, so a cell's
// hits do too. A line is walked on the band as on a grid of its own, its rows moved up by the
// band's top: the walk clips exactly, so the band gets just the cells of the line in its rows.
class ShapeCover::BandPen final : public MaskPen
{
public:
    BandPen(ShapeCover& cover, Band& band, int top, int bottom)
        : m_cover(cover)
        , m_band(band)
        , m_cells(cover.m_cells.get() + size_t(top) * size_t(cover.m_w))
        , m_first(size_t(top) * size_t(cover.m_w))
        , m_top(top)
        , m_bottom(bottom)
    {
    }
    void line(int x0, int y0, int x1, int y1) override
    {
        if (std::max(y0, y1) < m_top || std::min(y0, y1) >= m_bottom)
            return;
        walkMaskLine(m_cover.m_w, m_bottom - m_top, x0, y0 - m_top, x1, y1 - m_top, *this);
    }

    // Cell i of the band.
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
        const uint32_t index = uint32_t(m_first + i);
        if (cell & coverpass::brokenBit) {
            Runs& runs = m_band.runs[index];
            if (runs.back().second + 1 == k)
                runs.back().second = k;
            else
                runs.emplace_back(k, k);
        } else if (last + 1 != k) { // reached again after a shape that missed it
            cell |= coverpass::brokenBit;
            m_band.runs[index] = Runs{{first, last}, {k, k}};
            m_cover.m_brokenRows[index / size_t(m_cover.m_w)].push_back(index);
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
    Band& m_band;
    uint32_t* m_cells;
    size_t m_first;
    int m_top, m_bottom;
};

ShapeCover::~ShapeCover()
{
    stopAhead();
}

void ShapeCover::stopAhead()
{
    m_stop.store(true, std::memory_order_relaxed);
    if (m_ahead.joinable())
        m_ahead.join();
}

void ShapeCover::finishAhead()
{
    if (m_ahead.joinable())
        m_ahead.join();
}

void ShapeCover::reset(MaskShape shape, int W, int H)
{
    stopAhead();
    const size_t oldCells = size_t(m_w) * size_t(m_h);
    m_shape = shape;
    m_w = W;
    m_h = H;
    const size_t cells = size_t(W) * size_t(H);
    if (cells == 0 || cells > maxCells) {
        m_cells.reset();
        m_bands.reset();
        m_brokenRows.clear();
        return;
    }
    // The words are laid out by each band when it is first recorded; a record of the same size
    // keeps its memory, already faulted in.
    if (!m_cells || cells != oldCells)
        m_cells = std::make_unique_for_overwrite<uint32_t[]>(cells);
    m_bands = std::make_unique<Band[]>(size_t(bandCount(H)));
    m_brokenRows.assign(size_t(H), {});
}

bool ShapeCover::reach(MaskShape shape, int W, int H, int n)
{
    if (fresh(W, H))
        m_shape = shape;
    else if (!serves(shape, W, H))
        reset(shape, W, H);
    // Shapes at none and beyond have no room in the record word.
    return m_cells && n < int(none);
}

void ShapeCover::recordBand(int b, int n)
{
    Band& band = m_bands[size_t(b)];
    const int top = b * bandRows, bottom = std::min(m_h, top + bandRows);
    if (n < 0)
        return;
    if (band.known < 0)
        std::fill(m_cells.get() + size_t(top) * size_t(m_w), m_cells.get() + size_t(bottom) * size_t(m_w),
                  coverpass::unreached);
    BandPen pen(*this, band, top, bottom);
    // A band counts a shape only once it is whole there.
    while (band.known < n) {
        pen.k = uint16_t(band.known + 1);
        m_shape(m_w, m_h, pen.k, pen);
        ++band.known;
    }
}

std::unique_lock<std::mutex> ShapeCover::openRow(int y, int n)
{
    const int b = y / bandRows;
    std::unique_lock<std::mutex> lock(m_bands[size_t(b)].lock);
    if (m_bands[size_t(b)].known < n)
        recordBand(b, n);
    return lock;
}

void ShapeCover::recordAhead(MaskShape shape, int W, int H, std::vector<int> stages)
{
    if (stages.empty() || !reach(shape, W, H, *std::max_element(stages.begin(), stages.end())))
        return;
    stopAhead(); // the thread of an earlier set-up on this record
    m_stop.store(false, std::memory_order_relaxed);
    try {
        m_ahead = std::thread([this, stages = std::move(stages)] {
            // Each stage from the bottom band up: a frame's row bands start at the top, so a frame
            // that needs bands not recorded yet records them there instead of waiting behind
            // this thread. A band is held for one stage at a time.
            try {
                for (const int n : stages)
                    for (int b = bandCount(m_h) - 1; b >= 0; --b) {
                        if (m_stop.load(std::memory_order_relaxed))
                            return;
                        std::lock_guard<std::mutex> lock(m_bands[size_t(b)].lock);
                        if (m_bands[size_t(b)].known < n)
                            recordBand(b, n);
                    }
            } catch (const std::bad_alloc&) {
                // Out of memory: the frames record the bands left, or fail as they would.
            }
        });
    } catch (const std::system_error&) {
        // No thread: the frames record their rows themselves.
    }
}

void ShapeCover::anyUpTo(uint8_t* out, int n, uint8_t v)
{
    const uint16_t high = uint16_t(n);
    const size_t width = size_t(m_w);
    runInRowBands(m_h, [&](int, int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::unique_lock<std::mutex> open = openRow(y, n);
            const size_t from = size_t(y) * width;
            coverpass::reachedLevel(out + from, m_cells.get() + from, width, 0, high, v);
        }
    });
}

void ShapeCover::lastUpTo(uint8_t* out, int n, const int32_t* levels)
{
    const uint16_t high = uint16_t(n);
    const size_t width = size_t(m_w);
    runInRowBands(m_h, [&](int, int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::unique_lock<std::mutex> open = openRow(y, n);
            const size_t from = size_t(y) * width;
            coverpass::lastLevels(out + from, m_cells.get() + from, width, high, levels);
            mendRow(out + from, y, n, levels);
        }
    });
}

void ShapeCover::mendRow(uint8_t* out, int y, int n, const int32_t* levels) const
{
    const uint16_t high = uint16_t(n);
    const size_t rowStart = size_t(y) * size_t(m_w);
    const Band& band = m_bands[size_t(y / bandRows)];
    for (const uint32_t cell : m_brokenRows[size_t(y)]) {
        const Runs& runs = band.runs.at(cell);
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

    // The record serving the family and grid, or the one to replace for them (the older one).
    ShapeCover& pick(MaskShape shape, int W, int H)
    {
        int use = records[size_t(newest)].serves(shape, W, H) ? newest : 1 - newest;
        if (!records[size_t(use)].serves(shape, W, H))
            use = records[size_t(newest)].fresh(W, H) ? newest : 1 - newest;
        newest = use;
        return records[size_t(use)];
    }

    ShapeCover* reach(MaskShape shape, int W, int H, int n)
    {
        ShapeCover& cover = pick(shape, W, H);
        return cover.reach(shape, W, H, n) ? &cover : nullptr;
    }
};

Covers& covers()
{
    static Covers c;
    return c;
}

// While set, the generators on this thread only note the family and the largest shape they ask
// for (the set-up's look at what the frames will need).
struct ShapeProbe {
    MaskShape shape = nullptr;
    int n = -1;
};
thread_local ShapeProbe* probe = nullptr;

bool probed(MaskShape shape, int n)
{
    if (!probe)
        return false;
    if (!probe->shape)
        probe->shape = shape;
    if (shape == probe->shape)
        probe->n = std::max(probe->n, n);
    return true;
}

} // namespace

void recordShapesAhead(int W, int H, void (*generate)(MaskGrid&, int))
{
    if (W <= 0 || H <= 0)
        return;
    // The frames' progress rises: by every twentieth of it, the largest shape asked so far. The
    // shapes grow or shrink with the progress, so the largest of all is asked at 100 or, by an
    // In variant at its first frame, at 1.
    ShapeProbe seen;
    std::vector<int> stages;
    MaskRowPlan plan;
    plan.start(W, H);
    MaskGrid grid{nullptr, W, H, &plan};
    probe = &seen;
    for (int P = 0; P <= 100; P += P == 0 ? 1 : 5 - P % 5) {
        generate(grid, P);
        if (P % 5 == 0 && seen.n >= 0 && (stages.empty() || seen.n > stages.back()))
            stages.push_back(seen.n);
    }
    probe = nullptr;
    if (seen.shape)
        covers().pick(seen.shape, W, H).recordAhead(seen.shape, W, H, std::move(stages));
}

void finishShapesAhead()
{
    for (ShapeCover& record : covers().records)
        record.finishAhead();
}

void releaseShapeCovers()
{
    for (ShapeCover& record : covers().records)
        record.release();
}

namespace generators {

void shapesUpTo(MaskGrid& m, MaskShape shape, int n, uint8_t v)
{
    if (n < 0 || probed(shape, n))
        return;
    ShapeCover* cover = covers().reach(shape, m.W, m.H, n);
    if (m.plan) {
        if (cover)
            m.plan->reached(cover->cells(), 0, uint16_t(n), v, cover);
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
    if (n < 0 || probed(shape, n))
        return;
    ShapeCover* cover = covers().reach(shape, m.W, m.H, n);
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
