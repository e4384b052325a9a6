#pragma once
// The processor's features, probed once, and the MMX state reset.

// What the processor runs, as far as the library's fast paths care.
struct CpuFeatures {
    bool mmx = false;
    bool sse2 = false;
    bool avx2 = false; // the processor has it and the operating system saves its registers
};

// The one probe of the processor, made by the first call (the effects subsystem's start-up
// makes it before any window exists) and never changed afterwards; every choice of a fast path
// reads this record. False everywhere on other architectures.
const CpuFeatures& ProcessorFeatures();

// HasMMX() as measured when the effects library started (false before that).
extern bool MmxAvailable;

// True when the processor reports CPUID with a family of 5 or more and the MMX
// feature bit (leaf 1, EDX bit 23). False on processors without CPUID and on
// other architectures.
bool HasMMX();

#if defined(__i386__) || defined(__x86_64__)
#include <mmintrin.h>
#endif

// Leaves MMX state so that floating-point code works again; does nothing where
// the processor has no MMX. Blending loops call it when they finish: with the
// blends written in SSE2 it has no state to clear, and costs one byte test.
inline void EMMS()
{
#if defined(__i386__) || defined(__x86_64__)
    if (MmxAvailable)
        _mm_empty();
#endif
}
