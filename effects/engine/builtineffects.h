#pragma once
// The 58 built-in effects in registration order.

#include "effects/engine/effecttypes.h"

#include <span>

struct BuiltinEffect {
    const char* Name; // registered name, without the kind prefix
    TluxProcKind Kind;
    TluxProc Proc;
};

inline constexpr int builtinEffectCount = 58;

std::span<const BuiltinEffect> builtinEffects();

// Registers every built-in effect with RegisterProc, in table order.
void RegisterBuiltinEffects();

// True for the pixel family: its frames share one random order of the grid's cells, costly to
// draw to its end (see pixelorder.h).
bool drawsRandomCells(TluxProc Proc);
