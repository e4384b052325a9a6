#pragma once
// Kinds, rotations, the three effect procedure signatures and the names the effect list shows.

#include "effects/masks/cellrecord.h"

#include <cstdint>

class TluxBitmap;
class TluxAnimationRec;

// Selects the procedure signature and how a frame is composed from its output.
enum TluxProcKind : uint8_t { pkFade = 0, pkSlide = 1, pkManual = 2 };

// Rotation of an effect's output; generators never see it, the engine turns their grid.
enum TluxRotation : uint8_t { krNone = 0, krRotate90 = 1, krRotate180 = 2, krRotate270 = 3 };

// Fade: fills a W x H byte mask (row-major, zeroed by the caller); 0 = old picture, 255 = new.
using TluxFadeProc = void (*)(uint8_t* Mask, int W, int H, uint8_t Progress);
// Slide: fills W x H cell records (row-major, zeroed by the caller).
using TluxSlideProc = void (*)(TluxCell* Cells, int W, int H, uint8_t Progress);
// Manual: draws the new picture (Dest) into the frame (Work) itself.
using TluxManualProc = void (*)(TluxBitmap* Work, TluxBitmap* Dest, TluxAnimationRec* Settings,
                                uint8_t Progress);

// Kind prefixes of full effect names; each ends with a blank.
inline constexpr const char* luxFadePrefix = "[ FADE ] - ";
inline constexpr const char* luxSlidePrefix = "[ SLIDE ] - ";
inline constexpr const char* luxManualPrefix = "[ MANUAL ] - ";

// The two pseudo effect names that are not registered procedures.
inline constexpr const char* luxRandomEffectName = "[ RANDOM ] - Random selection";
inline constexpr const char* luxBitmapEffectName = "[ BITMAP ] - Bitmap Animation";

// A procedure of any kind as stored in the registry; the item's kind tells the real signature.
using TluxProc = void (*)();

template <typename F>
inline TluxProc toProc(F f)
{
    return reinterpret_cast<TluxProc>(f);
}
