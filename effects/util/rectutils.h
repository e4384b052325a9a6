#pragma once
// Rectangle arithmetic used throughout the effects library. Rectangles exclude
// their right and bottom edges; nothing here normalises a rectangle.

#include "platform/types.h"

inline int RectWidth(const TRect& R) { return R.Right - R.Left; }
inline int RectHeight(const TRect& R) { return R.Bottom - R.Top; }

// True when the width or the height is below 1 (negative sizes count as empty).
inline bool IsRectEmpty(const TRect& R) { return RectWidth(R) < 1 || RectHeight(R) < 1; }

// R grown by D on every side; a negative D shrinks it.
TRect RectOffset(const TRect& R, int D);
// R shrunk by M's members on their respective sides.
TRect MarginRect(const TRect& R, const TRect& M);
// True when A lies inside B, edges included.
bool RectInRect(const TRect& A, const TRect& B);
// True when all four members are equal.
bool CompareRect(const TRect& A, const TRect& B);

// Centre R in Bounds (horizontally, vertically, or both). R is changed in place
// and returned. The offsets truncate toward zero, so an R larger than Bounds
// sticks out equally on both sides. HCenter aligns R's top with Bounds' top,
// VCenter aligns R's left with Bounds' left. R and Bounds may be the same object.
TRect RectHCenter(TRect& R, const TRect& Bounds);
TRect RectVCenter(TRect& R, const TRect& Bounds);
TRect RectCenter(TRect& R, const TRect& Bounds);

// Whether P lies inside the polygon Points[0..High], filled with the winding rule.
// Pixels on a left or top edge are inside, pixels on a right or bottom edge outside,
// as the window system's polygon regions treat them.
bool PointInPolygon(const TPoint& P, const TPoint* Points, const int High);
