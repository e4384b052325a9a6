#include "effects/bitmap/columngather.h"

#include "effects/bitmap/dispatch.h"

namespace luxraster {

ColumnGather::ColumnGather(const std::vector<int>& columns, int sourceWidth)
    : m_columns(columns.data()), m_count(int(columns.size())), m_gather(luxDispatch().gatherBlocks)
{
    if (!m_gather)
        return;
    const int blocks = m_count / 8;
    m_blocks.resize(size_t(blocks));
    for (int k = 0; k < blocks; ++k) {
        Block& b = m_blocks[size_t(k)];
        const int* x = m_columns + 8 * k;
        b.base = x[0];
        for (int j = 0; j < 8; ++j)
            b.offsets[j] = x[j] - x[0];
        const int span = x[7] - x[0] + 1;
        b.loads = span <= 8 ? 1 : span <= 16 ? 2 : 0;
        // Vector loads must stay inside the source row.
        if (b.loads && b.base + 8 * b.loads > sourceWidth)
            b.loads = 0;
    }
}

void ColumnGather::run(const TluxColor* in, TluxColor* out) const
{
    int i = 0;
    if (!m_blocks.empty()) {
        m_gather(in, out, m_blocks.data(), int(m_blocks.size()));
        i = int(m_blocks.size()) * 8;
    }
    for (; i < m_count; ++i)
        out[i] = in[m_columns[i]];
}

} // namespace luxraster
