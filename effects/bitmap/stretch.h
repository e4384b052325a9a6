#pragma once
// The memory stretch and block-copy slots (their implementations): a rectangle
// of a TluxBitmap copied, skipping key-colour pixels or blended, onto another
// TluxBitmap or into device-bitmap memory, scaled by nearest-neighbour sampling.

#include "effects/bitmap/rasterprimitives.h"

namespace luxraster {

void stretchOpaque(TluxBitmap* Target, const TRect& Dst, const TRect& Clip, const TRect& Src, const TluxBitmap* Source);
void stretchTransparent(TluxBitmap* Target, const TRect& Dst, const TRect& Clip, const TRect& Src,
                        const TluxBitmap* Source);
void stretchAlphaBlend(TluxBitmap* Target, const TRect& Dst, const TRect& Clip, const TRect& Src,
                       const TluxBitmap* Source);

void stretchToDibOpaque(TluxColor* Bits, const TRect& Dst, const TRect& Clip, int Width, int Height,
                        const TluxBitmap* Source, const TRect& Src);
void stretchToDibTransparent(TluxColor* Bits, const TRect& Dst, const TRect& Clip, int Width, int Height,
                             const TluxBitmap* Source, const TRect& Src);
void stretchToDibAlphaBlend(TluxColor* Bits, const TRect& Dst, const TRect& Clip, int Width, int Height,
                            const TluxBitmap* Source, const TRect& Src);

void bltOpaque(TluxBitmap* Target, const TRect& TargetRect, const TluxBitmap* Source, int SX, int SY);
void bltTransparent(TluxBitmap* Target, const TRect& TargetRect, const TluxBitmap* Source, int SX, int SY);
void bltAlphaBlend(TluxBitmap* Target, const TRect& TargetRect, const TluxBitmap* Source, int SX, int SY);

// Device-context slots (dcprimitives.cpp).
TluxColor* getBitsFromDC(HDC DC, int& Width, int& Height, int& BitCount);
void stretchToDCOpaque(HDC DC, int X, int Y, int W, int H, const TluxBitmap* Source, int SX, int SY, int SW, int SH);
// Captures the background into a temporary bitmap, draws the source into it by
// its own mode and writes the result back: the alpha-blend and the software
// transparent path onto a foreign context.
void stretchToDCThroughMemory(HDC DC, int X, int Y, int W, int H, const TluxBitmap* Source, int SX, int SY, int SW,
                              int SH);

} // namespace luxraster
