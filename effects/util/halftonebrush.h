#pragma once
// The half-tone pattern brush used to paint scroll-bar tracks.

#include "platform/devicecontext.h"

// An 8 x 8 pattern brush: Color where x + y is even (Color at (0, 0)), the
// button-face colour elsewhere. The brush is a value; the caller keeps it.
LogBrush CreateHalftoneBrush(TColor Color);
