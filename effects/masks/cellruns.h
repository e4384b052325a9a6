#pragma once
// Rows of slide cell records that show a run of the new picture's cells, all moved by one vector:
// the records the built-in slide procedures write.

#include "effects/masks/cellrecord.h"

#include <cstdint>

namespace cellruns {

// A cell coordinate in the record's 16 bits: a source far outside the grid stays outside it
// instead of wrapping.
int16_t cellCoordinate(int64_t v);

// Fills row[0 .. n - 1] with opaque records whose source cells are (firstSourceX + x, sourceY),
// each coordinate clamped by cellCoordinate. The part whose sources fit in 16 bits is written
// several records per vector store; only the cells beyond the 16-bit range take the clamp.
void fillMovedRun(TluxCell* row, int n, int64_t firstSourceX, int64_t sourceY);

// The same, one clamped record at a time.
void fillMovedRunScalar(TluxCell* row, int n, int64_t firstSourceX, int64_t sourceY);

// How many records from row[0] on continue one run: opaque (Alpha 255) and naming the source
// cells (firstSourceX + k, sourceY) for k = 0, 1, ...; at most n. Reserved is not looked at.
int runLength(const TluxCell* row, int n, int firstSourceX, int sourceY);

// The same run read backwards from row[0]: row[-k] names (firstSourceX - k, sourceY).
int runLengthBackwards(const TluxCell* row, int n, int firstSourceX, int sourceY);

// How many records from row[0] on (backwards: row[0], row[-1], ...) have Alpha 0; at most n.
int clearLength(const TluxCell* row, int n);
int clearLengthBackwards(const TluxCell* row, int n);


} // namespace cellruns

// Sixteen records per step, where the processor has AVX2; the callers above finish what these
// leave. All sources they meet must fit in 16 bits (the callers cut the rows so).
namespace cellruns::avx2 {
// Writes row[0 ..] up to a multiple of sixteen records after a 32-byte boundary; returns how
// many records it wrote (0 when the row is too short).
int fillInRange(TluxCell* row, int n, int firstSourceX, int16_t sourceY);
// The run's length in whole blocks of sixteen matching records.
int runLength(const TluxCell* row, int n, int firstSourceX, int sourceY);
int runLengthBackwards(const TluxCell* row, int n, int firstSourceX, int sourceY);
} // namespace cellruns::avx2
