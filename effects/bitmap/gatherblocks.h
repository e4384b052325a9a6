#pragma once
// The column gather of a stretched row by blocks of eight columns, where a vector instruction
// set has it: a block whose source columns lie within 8 (or 16) neighbouring pixels takes one
// (or two) loads and a permutation instead of eight single loads.

#include "effects/bitmap/luxcolor.h"

#include <cstdint>

namespace luxraster {

struct GatherBlock {
    int32_t offsets[8]; // X[8k + j] - base
    int32_t base;       // X[8k]
    int32_t loads;      // 1 or 2 vector loads; 0: one pixel at a time
};

// out[8k + j] = in[blocks[k].base + blocks[k].offsets[j]] for k < count, j < 8.
using GatherBlocksProc = void (*)(const TluxColor* in, TluxColor* out, const GatherBlock* blocks, int count);

namespace avx2 {
void gatherBlocks(const TluxColor* in, TluxColor* out, const GatherBlock* blocks, int count);
}

} // namespace luxraster
