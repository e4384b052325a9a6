#include "effects/util/cpufeatures.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

bool MmxAvailable = false;

bool HasMMX()
{
#if defined(__i386__) || defined(__x86_64__)
    // __get_cpuid checks that CPUID exists (the ID flag toggles) and that leaf 1 is there.
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const unsigned family = (eax >> 8) & 0xF;
    if (family < 5)
        return false;
    return (edx & 0x800000u) != 0;
#else
    return false;
#endif
}
