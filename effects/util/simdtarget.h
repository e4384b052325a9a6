#pragma once
// The mark of a function written with AVX2 instructions. The library is built for the baseline
// x86-64 processor (SSE2); such a function is compiled for AVX2 on its own and runs only where
// the dispatch table (effects/bitmap/dispatch.h) put it, on a processor that has AVX2.

#define LUX_AVX2 __attribute__((target("avx2")))
