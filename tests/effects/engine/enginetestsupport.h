#pragma once
// Helpers shared by the effect tests: the registry started once, and one call per effect.

#include "effects/engine/builtineffects.h"
#include "effects/engine/effectregistry.h"

#include <cstdint>
#include <vector>

namespace enginetest {

inline void ensureRegistry()
{
    if (!ProcList)
        StartEffectRegistry();
}

inline std::vector<uint8_t> fadeMask(TluxFadeProc proc, int w, int h, int p)
{
    std::vector<uint8_t> mask(size_t(w) * size_t(h), 0);
    proc(mask.data(), w, h, uint8_t(p));
    return mask;
}

inline std::vector<TluxCell> slideCells(TluxSlideProc proc, int w, int h, int p)
{
    std::vector<TluxCell> cells(size_t(w) * size_t(h), TluxCell{0, 0, 0, 0});
    proc(cells.data(), w, h, uint8_t(p));
    return cells;
}

// FNV-1a, 64 bits.
inline uint64_t checksum(const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    uint64_t h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 0x100000001b3ull;
    }
    return h;
}

// The fade effects of the built-in table.
inline std::vector<BuiltinEffect> fadeEffects()
{
    std::vector<BuiltinEffect> out;
    for (const BuiltinEffect& e : builtinEffects())
        if (e.Kind == pkFade)
            out.push_back(e);
    return out;
}

inline TluxFadeProc fadeOf(const BuiltinEffect& e)
{
    return reinterpret_cast<TluxFadeProc>(e.Proc);
}

inline TluxSlideProc slideOf(const BuiltinEffect& e)
{
    return reinterpret_cast<TluxSlideProc>(e.Proc);
}

} // namespace enginetest
