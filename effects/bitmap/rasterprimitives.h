#pragma once
// The raster primitives: the functions that copy, fill and blend runs of
// pixels, stretch a rectangle of one bitmap onto another bitmap or into the
// memory of a 32-bit device bitmap by nearest-neighbour sampling, and draw a
// bitmap onto a device context that belongs to no TluxBitmap.
//
// Every primitive sits in a replaceable function slot. The slots start out
// holding portable implementations; initRasterPrimitives() (a step of the
// effects subsystem's start-up) puts in the dispatch table's (dispatch.h).
// Both give the same bytes, so the start-up step changes speed only.
//
// Counts are numbers of pixels; a count of 0 or less does nothing.

#include "platform/devicecontext.h"
#include "effects/bitmap/luxcolor.h"
#include "platform/types.h"

class TluxBitmap;

// Foreground over background -> blended pixel.
using PixelAlphaBlendProc = TluxColor (*)(TluxColor F, TluxColor B);
// Row from Source onto Target (LineAlphaBlendFunc, LineTransparentFunc).
using LineProc = void (*)(const TluxColor* Source, TluxColor* Target, int Count);
// Copies Count pixels (the rows may overlap); returns Count.
using MoveLongwordProc = int (*)(const TluxColor* Source, TluxColor* Target, int Count);
using FillLongwordProc = void (*)(TluxColor* Target, int Count, TluxColor Value);
// Rows Top..Bottom and columns Left..Right, all inclusive; row y starts at
// Pixels + y * RowLength. Height is not consulted.
using FillLongwordRectProc = void (*)(TluxColor* Pixels, int RowLength, int Height, int Left, int Top, int Right,
                                      int Bottom, TluxColor Value);
using FillAlphaProc = void (*)(TluxColor* Target, int Count, uint8_t Alpha);
using FillAlphaRectProc = void (*)(TluxColor* Pixels, int RowLength, int Height, int Left, int Top, int Right,
                                   int Bottom, uint8_t Alpha);
// Pixels whose low 24 bits equal those of Color get alpha 0.
using ClearAlphaProc = void (*)(TluxColor* Target, int Count, TluxColor Color);
// The memory of the bitmap selected into a context: pointer or null; out the
// width, the height (positive: rows run bottom-up; negative: top-down) and the
// bits per pixel. All three are 0 when the result is null.
using GetBitsFromDCProc = TluxColor* (*)(HDC DC, int& Width, int& Height, int& BitCount);
// Onto a device context: destination x, y, w, h (logical), source bitmap and rectangle.
using StretchToDCProc = void (*)(HDC DC, int X, int Y, int W, int H, const TluxBitmap* Source, int SX, int SY,
                                 int SW, int SH);
// Into device-bitmap memory of Width x Height (Height > 0 bottom-up, < 0 top-down).
using StretchToDibProc = void (*)(TluxColor* Bits, const TRect& Dst, const TRect& Clip, int Width, int Height,
                                  const TluxBitmap* Source, const TRect& Src);
// Into a TluxBitmap (which may be Source itself).
using StretchProc = void (*)(TluxBitmap* Target, const TRect& Dst, const TRect& Clip, const TRect& Src,
                             const TluxBitmap* Source);
// Equal-size copy of TargetRect (already clipped) from Source at (SX, SY).
using BltProc = void (*)(TluxBitmap* Target, const TRect& TargetRect, const TluxBitmap* Source, int SX, int SY);

extern PixelAlphaBlendProc PixelAlphaBlendFunc;
extern LineProc LineAlphaBlendFunc;
extern LineProc LineTransparentFunc;
extern MoveLongwordProc MoveLongwordFunc;
extern FillLongwordProc FillLongwordFunc;
extern FillLongwordRectProc FillLongwordRectFunc;
extern FillAlphaProc FillAlphaFunc;
extern FillAlphaRectProc FillAlphaRectFunc;
extern ClearAlphaProc ClearAlphaFunc;
extern GetBitsFromDCProc GetBitsFromDCFunc;
extern StretchToDCProc StretchToDCOpaqueFunc;
extern StretchToDCProc StretchToDCAlphaBlendFunc;
extern StretchToDCProc StretchToDCTransparentFunc;
extern StretchToDibProc StretchToDibOpaqueFunc;
extern StretchToDibProc StretchToDibAlphaBlendFunc;
extern StretchToDibProc StretchToDibTransparentFunc;
extern StretchProc StretchOpaqueFunc;
extern StretchProc StretchAlphaBlendFunc;
extern StretchProc StretchTransparentFunc;
extern BltProc BltOpaqueFunc;
extern BltProc BltAlphaBlendFunc;
extern BltProc BltTransparentFunc;

// The two blend formulas (see rowprimitives.h) and the instruction sets the
// row primitives are written for.
enum class BlendKind { Plain, Packed };
enum class SimdLevel { Scalar, Sse2, Avx2 };

// The start-up step that builds the dispatch table (dispatch.h) for the levels
// the processor and LUX_DISABLE allow and fills the 22 slots from it: the packed
// blend when the processor has MMX (every x86-64), else the plain one; the row
// primitives of the widest level; the single implementations for the other
// slots. Call it once before any window exists; calling it again refills the
// slots.
void initRasterPrimitives();
// Builds the table with the levels above `level` switched off (rebuildDispatch)
// and fills the blend and row slots from it with one blend (tests and
// benchmarks compare them); returns false, changing nothing, when the processor
// or LUX_DISABLE does not allow that level.
bool selectRasterPath(BlendKind kind, SimdLevel level);
// The blend the slots hold and the table's level.
BlendKind currentBlendKind();
SimdLevel currentSimdLevel();
// The widest level the processor runs and LUX_DISABLE leaves on.
SimdLevel bestSimdLevel();
