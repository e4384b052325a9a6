#pragma once
// The mask generators by family. Each draws into a zeroed grid for progress P (0..100).

#include "effects/masks/cellrecord.h"
#include "effects/masks/maskprimitives.h"

namespace generators {

// "Fade": the whole mask at Round(P / 100 * 255).
void fadeWhole(MaskGrid& m, int P);

// Row wipes with a fixed value, and their soft versions.
void rowsDown(MaskGrid& m, int P, uint8_t v);
void rowsIn(MaskGrid& m, int P, uint8_t v);
void rowsOut(MaskGrid& m, int P, uint8_t v);
void smoothDown(MaskGrid& m, int P);
void smoothIn(MaskGrid& m, int P);
void smoothOut(MaskGrid& m, int P);

// Diagonals.
void diagonalWipe(MaskGrid& m, int P, uint8_t v);
void smoothDiagonal(MaskGrid& m, int P);
void cornerTriangles(MaskGrid& m, int P, uint8_t v);
void smoothDiagonalIn(MaskGrid& m, int P);
void diagonalBand(MaskGrid& m, int P, uint8_t v);
void smoothDiagonalOut(MaskGrid& m, int P);

// Cross and centred rectangle.
void crossOut(MaskGrid& m, int P, uint8_t v);
void smoothCrossOut(MaskGrid& m, int P);
void rectOut(MaskGrid& m, int P, uint8_t v);
void smoothRectOut(MaskGrid& m, int P);

// Diamonds.
void diamondOut(MaskGrid& m, int P, uint8_t v);
void smoothDiamondOut(MaskGrid& m, int P);

// Circles about the centre and about the bottom-left corner.
void circleOut(MaskGrid& m, int P, uint8_t v);
void smoothCircleOut(MaskGrid& m, int P);
void circleIn(MaskGrid& m, int P, uint8_t v);
void cornerCircle(MaskGrid& m, int P, uint8_t v);
void smoothCornerCircle(MaskGrid& m, int P);

// Rotating hand about the bottom-left corner.
void rotateHand(MaskGrid& m, int P, uint8_t v);
void smoothRotateHand(MaskGrid& m, int P);

// Random cells, repeatable for a grid size.
void pixels(MaskGrid& m, int P);
void pixelsFade(MaskGrid& m, int P);
void pixelLine(MaskGrid& m, int P);

// Columns filling downwards after random delays.
void stream(MaskGrid& m, int P);

// Plasma pattern thresholded by progress.
void plasma(MaskGrid& m, int P);

// Slide procedures, by rows: each fills row y (W records, zeroed by the caller) of the W x H
// grid of cell records for progress P.
void interlaceRow(TluxCell* row, int W, int H, int y, int P);
void cornerRow(TluxCell* row, int W, int H, int y, int P);

} // namespace generators
