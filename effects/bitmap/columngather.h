#pragma once
// One row of nearest-neighbour sampling: out[i] := in[X[i]] for a column table
// X that never decreases (the stretch slots build it once per call). Where the
// dispatch table has a gather by blocks (gatherblocks.h), the table is cut into
// blocks of eight for it.

#include "effects/bitmap/gatherblocks.h"
#include "effects/bitmap/luxcolor.h"

#include <cstdint>
#include <vector>

namespace luxraster {

class ColumnGather {
public:
    // `columns` must outlive the object; every entry lies in 0 .. sourceWidth - 1.
    ColumnGather(const std::vector<int>& columns, int sourceWidth);

    void run(const TluxColor* in, TluxColor* out) const;

    using Block = GatherBlock;

private:
    const int* m_columns;
    int m_count;
    GatherBlocksProc m_gather; // null: column by column
    std::vector<Block> m_blocks; // empty without a gather by blocks
};

} // namespace luxraster
