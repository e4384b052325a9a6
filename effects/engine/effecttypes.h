#pragma once
// Kinds, rotations, the slide cell record and the three effect procedure signatures.

#include <cstdint>

class TluxBitmap;
class TluxAnimationRec;

// Selects the procedure signature and how a frame is composed from its output.
enum TluxProcKind : uint8_t { pkFade = 0, pkSlide = 1, pkManual = 2 };

// Rotation of an effect's output; generators never see it, the engine turns their grid.
enum TluxRotation : uint8_t { krNone = 0, krRotate90 = 1, krRotate180 = 2, krRotate270 = 3 };

// One cell of a slide procedure's grid: which cell of the new picture to show here, and how much.
#pragma pack(push, 1)
struct TluxCell {
    uint8_t Alpha;    // 0 keeps the old picture, 255 shows the referenced new cell
    uint8_t Reserved; // never read; generators leave it 0
    int16_t SourceX;  // cell column of the new picture
    int16_t SourceY;  // cell row of the new picture
};
#pragma pack(pop)
static_assert(sizeof(TluxCell) == 6, "the cell record is 6 bytes");

// Fade: fills a W x H byte mask (row-major, zeroed by the caller); 0 = old picture, 255 = new.
using TluxFadeProc = void (*)(uint8_t* Mask, int W, int H, uint8_t Progress);
// Slide: fills W x H cell records (row-major, zeroed by the caller).
using TluxSlideProc = void (*)(TluxCell* Cells, int W, int H, uint8_t Progress);
// Manual: draws the new picture (Dest) into the frame (Work) itself.
using TluxManualProc = void (*)(TluxBitmap* Work, TluxBitmap* Dest, TluxAnimationRec* Settings,
                                uint8_t Progress);

// A procedure of any kind as stored in the registry; the item's kind tells the real signature.
using TluxProc = void (*)();

template <typename F>
inline TluxProc toProc(F f)
{
    return reinterpret_cast<TluxProc>(f);
}
