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

// The row form of a built-in slide procedure: fills row Y (W records, zeroed by the caller) of
// the W x H grid the procedure fills for Progress, and writes nothing else; the procedure is its
// row form run over the rows. The frame composition makes the rows it needs one by one instead
// of the whole grid.
using SlideRowProc = void (*)(TluxCell* Row, int W, int H, int Y, uint8_t Progress);

// Null for every other procedure, slide procedures registered by users included.
SlideRowProc slideRowForm(TluxProc Proc);

// True for the families whose masks come from the shape record (see shapecover.h): the soft
// diagonals, the cross and rectangles, the diamonds and the rotating hand.
bool drawsShapeRecord(TluxProc Proc);

// True for the pixel family: its frames share one random order of the grid's cells, costly to
// draw to its end (see pixelorder.h).
bool drawsRandomCells(TluxProc Proc);
