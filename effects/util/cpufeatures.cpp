#include "effects/util/cpufeatures.h"

#include <unistd.h>

#include <fstream>
#include <string>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

CpuFeatures probe()
{
    CpuFeatures f;
#if defined(__i386__) || defined(__x86_64__)
    // __get_cpuid checks that CPUID exists (the ID flag toggles) and that the leaf is there.
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return f;
    const unsigned family = (eax >> 8) & 0xF;
    f.mmx = family >= 5 && (edx & (1u << 23)) != 0;
    f.sse2 = (edx & (1u << 26)) != 0;
    // AVX2 needs the processor's bit (leaf 7, EBX bit 5) and the operating system's promise to
    // save the YMM registers (OSXSAVE, then XCR0 bits 1 and 2).
    const bool osSavesYmm = (ecx & (1u << 27)) != 0 && (ecx & (1u << 28)) != 0 && [] {
        unsigned lo = 0, hi = 0;
        __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        return (lo & 0x6u) == 0x6u;
    }();
    unsigned a7 = 0, b7 = 0, c7 = 0, d7 = 0;
    f.avx2 = osSavesYmm && __get_cpuid_count(7, 0, &a7, &b7, &c7, &d7) && (b7 & (1u << 5)) != 0;
#endif
    return f;
}

} // namespace

const CpuFeatures& ProcessorFeatures()
{
    static const CpuFeatures features = probe();
    return features;
}

bool HasMMX()
{
    return ProcessorFeatures().mmx;
}

// The cache of the first processor with the highest level, from sysfs ("32768K"): the size one
// cache instance has. The C library's figure may add up the instances of a whole package.
size_t lastLevelCacheBytes()
{
    static const size_t bytes = [] {
        int topLevel = 0;
        size_t size = 0;
        for (int index = 0; index < 8; ++index) {
            const std::string dir = "/sys/devices/system/cpu/cpu0/cache/index" + std::to_string(index) + "/";
            std::ifstream levelFile(dir + "level"), sizeFile(dir + "size");
            int level = 0;
            size_t kib = 0;
            char unit = 0;
            if (!(levelFile >> level) || !(sizeFile >> kib >> unit) || unit != 'K')
                continue;
            if (level > topLevel) {
                topLevel = level;
                size = kib * 1024;
            }
        }
        if (size == 0) {
            const long reported = sysconf(_SC_LEVEL3_CACHE_SIZE);
            size = reported > 0 ? size_t(reported) : 0;
        }
        return size;
    }();
    return bytes;
}
