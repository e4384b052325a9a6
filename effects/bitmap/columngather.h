#pragma once
// One row of nearest-neighbour sampling: out[i] := in[X[i]] for a column table
// X that never decreases (the stretch slots build it once per call). With AVX2
// the table is cut into blocks of eight: when a block's source columns lie
// within 8 (or 16) neighbouring pixels, one (or two) loads and a permutation
// replace eight single loads.

#include "effects/bitmap/luxcolor.h"

#include <cstdint>
#include <vector>

namespace luxraster {

class ColumnGather {
public:
    // `columns` must outlive the object; every entry lies in 0 .. sourceWidth - 1.
    ColumnGather(const std::vector<int>& columns, int sourceWidth);

    void run(const TluxColor* in, TluxColor* out) const;

    struct Block {
        int32_t offsets[8]; // X[8k + j] - base
        int32_t base;       // X[8k]
        int32_t loads;      // 1 or 2 vector loads; 0: one pixel at a time
    };

private:
    const int* m_columns;
    int m_count;
    std::vector<Block> m_blocks; // empty without AVX2
};

namespace avx2 {
void gatherBlocks(const TluxColor* in, TluxColor* out, const ColumnGather::Block* blocks, int count);
}

} // namespace luxraster
