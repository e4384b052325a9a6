#include "effects/masks/maskrows.h"

#include "effects/masks/chosencells.h"
#include "effects/masks/coverpasses.h"

#include <algorithm>
#include <cstring>

void MaskRowPlan::start(int W, int H)
{
    *this = MaskRowPlan{};
    m_w = W;
    m_h = H;
    m_usable = W > 0 && H > 0;
}

void MaskRowPlan::constant(uint8_t v)
{
    m_fill = Fill::Constant;
    m_value = v;
}

void MaskRowPlan::reached(const uint32_t* cells, uint16_t low, uint16_t high, uint8_t v, RowRecord* record)
{
    m_record = record;
    m_fill = Fill::Reached;
    m_cells = cells;
    m_low = low;
    m_high = high;
    m_value = v;
}

void MaskRowPlan::last(const uint32_t* cells, uint16_t high, std::vector<int32_t> levels, RowRecord* record)
{
    m_record = record;
    m_fill = Fill::Last;
    m_cells = cells;
    m_high = high;
    m_levels = std::move(levels);
}

void MaskRowPlan::chosen(const PixelOrder::Steps& steps, uint8_t reached, std::vector<uint8_t> levels)
{
    m_fill = Fill::Chosen;
    m_steps = steps;
    m_reached = reached;
    m_columnLevels = std::move(levels);
}

void MaskRowPlan::computed(void (*fill)(uint8_t* out, int W, int y, int arg), int arg)
{
    m_fill = Fill::Computed;
    m_computed = fill;
    m_computedArg = arg;
}

void MaskRowPlan::invert(InKind kind, uint8_t level)
{
    m_inverted = true;
    m_invertKind = kind;
    m_invertLevel = level;
}

void MaskRowPlan::row(uint8_t* out, int y) const
{
    const size_t width = size_t(m_w);
    const uint32_t* cells = m_cells + size_t(y) * width;
    std::unique_lock<std::mutex> open;
    if (m_record && (m_fill == Fill::Reached || m_fill == Fill::Last))
        open = m_record->openRow(y, m_high);
    switch (m_fill) {
    case Fill::Zero: std::memset(out, 0, width); break;
    case Fill::Constant: std::memset(out, m_value, width); break;
    case Fill::Reached: coverpass::reachedLevel(out, cells, width, m_low, m_high, m_value); break;
    case Fill::Last:
        coverpass::lastLevels(out, cells, width, m_high, m_levels.data());
        if (m_record)
            m_record->mendRow(out, y, m_high, m_levels.data());
        break;
    case Fill::Chosen: {
        const size_t columns = std::min(m_columnLevels.size(), width);
        chosenCells(m_steps, size_t(y) * width, columns, m_reached, m_columnLevels.data(), out);
        std::memset(out + columns, 0, width - columns);
        break;
    }
    case Fill::Computed: m_computed(out, m_w, y, m_computedArg); break;
    }
    if (m_inverted)
        invertCells(out, width, m_invertKind, m_invertLevel);
}

void invertedVariant(MaskGrid& m, int progress, InKind kind, MaskGenerator out)
{
    if (progress == 0)
        return;
    out(m, 100 - progress);
    const uint8_t level = uint8_t(std::clamp(fadeLevel(progress), 0, 255));
    if (m.plan)
        m.plan->invert(kind, level);
    else
        invertCells(m.Bits, m.size(), kind, level);
}
