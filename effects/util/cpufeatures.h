#pragma once
// The processor's features, probed once.

#include <cstddef>

// What the processor runs, as far as the library's fast paths care.
struct CpuFeatures {
    bool mmx = false;
    bool sse2 = false;
    bool avx2 = false; // the processor has it and the operating system saves its registers
};

// The one probe of the processor, made by the first call and never changed afterwards. Only the
// dispatch table (effects/bitmap/dispatch.h) reads it: every choice of a fast path is made there,
// once. False everywhere on other architectures.
const CpuFeatures& ProcessorFeatures();

// True when the processor reports CPUID with a family of 5 or more and the MMX
// feature bit (leaf 1, EDX bit 23). False on processors without CPUID and on
// other architectures.
bool HasMMX();

// Bytes of the processor's last-level cache as the system reports it (the level 3 cache, else
// level 2); 0 when it reports none. A pass whose pictures together exceed it cannot keep its
// output in cache for the next pass.
size_t lastLevelCacheBytes();
