#pragma once
// The 58 built-in effects in registration order, and the start-up that registers them.

#include "effects/engine/effecttypes.h"

#include <span>

// The row form of a built-in slide procedure: fills row Y (W records, zeroed by the caller) of
// the W x H grid the procedure fills for Progress, and writes nothing else; the procedure is its
// row form run over the rows. The frame composition makes the rows it needs one by one instead
// of the whole grid.
using SlideRowProc = void (*)(TluxCell* Row, int W, int H, int Y, uint8_t Progress);

class MaskRowPlan;

// The row form of a built-in fade procedure: runs the generator's set-up for a W x H grid and
// Progress into the plan, which then makes each mask row on its own (see maskrows.h). False
// when the plan cannot stand for this frame; the procedure then draws the grid.
using MaskRowsProc = bool (*)(MaskRowPlan& Plan, int W, int H, uint8_t Progress);

struct BuiltinEffect {
    const char* Name; // registered name, without the kind prefix
    TluxProcKind Kind;
    TluxProc Proc;
    // Lays out what the effect's frames draw from for a generator grid of W x H cells, so that
    // the first frame does not pay for it; null where the effect keeps nothing between frames.
    void (*PrepareForGrid)(int W, int H) = nullptr;
    // Frees what the effect keeps between animations; null where it keeps nothing.
    void (*ReleaseCaches)() = nullptr;
    SlideRowProc RowForm = nullptr; // slide procedures only
    MaskRowsProc MaskRows = nullptr; // fade procedures whose masks come from a record, one value or the pixel order
};

inline constexpr int builtinEffectCount = 58;

std::span<const BuiltinEffect> builtinEffects();

// The table line of a built-in procedure; null for procedures registered by users.
const BuiltinEffect* builtinEffectFor(TluxProc Proc);

// Registers every built-in effect with RegisterProc, in table order.
void RegisterBuiltinEffects();

// The row form of a built-in slide procedure; null for every other procedure, slide procedures
// registered by users included.
SlideRowProc slideRowForm(TluxProc Proc);
// The row form of a built-in fade procedure; null where the procedure has none.
MaskRowsProc maskRowsForm(TluxProc Proc);

// Start-up of the effect registry: seeds the shared generator, registers the built-in effects
// and builds the name list. Counted: only the first call does the work.
void StartEffectRegistry();
// Shut-down: the last call matching a start-up frees the name list, the registry and what the
// built-in effects keep between animations.
void ShutDownEffectRegistry();
