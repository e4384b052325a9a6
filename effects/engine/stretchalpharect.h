#pragma once
// Writes a byte map, stretched by nearest neighbour, into the alpha bytes of 32-bit pixels.

// The map is the rectangle (SrcX, SrcY, SrcW x SrcH) of a map whose rows are SrcW bytes long;
// it goes into the rectangle (DstX, DstY, DstW x DstH) of a DstWidth x DstHeight pixel area,
// clipped to that area. Colours stay as they are. The map is stepped in 16.16 fixed point; the
// first column and row of a rectangle cut on its left or top edge are found with 0xFFFF as the
// scale (the engine's frame masks are never cut there).
void StretchAlphaRect(void* DstBits, int DstWidth, int DstHeight, int DstX, int DstY, int DstW, int DstH,
                      int SrcX, int SrcY, int SrcW, int SrcH, const void* Src);
