#pragma once
// Where a widget's client area lies inside its outer rectangle.
//
// The client area is what the widget's contents use: for a top-level window the
// area inside the window manager's frame, for a scroll area its viewport (frame
// and scroll bars are outside it), for a framed widget its contents rectangle
// (inside the frame and the contents margins), for any other widget all of it.

#include "platform/types.h"

class QWidget;

// Offset of C's client area from C's outer top-left corner: the left frame width
// and the caption plus top frame height of a top-level window, the frame of a
// framed child, (0, 0) for a child without a frame and for null.
TPoint GetClientOrigin(QWidget* C);

// C's client rectangle in coordinates whose origin is C's outer top-left corner.
TRect GetRealClientRect(QWidget* C);

// C's outer rectangle: in its parent's client coordinates for a child, in screen
// coordinates (frame included) for a top-level window.
TRect GetRealBoundsRect(QWidget* C);
