#pragma once
// A transition frame made see-through where it has not yet revealed its picture.
//
// A transition drawn inside its own window starts from a picture of one
// colour, Unrevealed, instead of a copy of the screen. Each frame is then a mix
// of that colour and the revealed picture: a pixel of exactly Unrevealed is not
// revealed (see-through), a pixel equal to the revealed one there is revealed
// (opaque), and a pixel that is the revealed one faded towards Unrevealed is
// revealed that much (the fade's weight becomes the pixel's alpha). A pixel the
// effect moved from elsewhere is opaque. The compositor shows the live desktop
// through what is see-through.

#include "effects/bitmap/luxcolor.h"

#include <QImage>

class TluxBitmap;

// Almost black, and no colour a form is likely to show.
constexpr TluxColor Unrevealed = 0xFF010001u;

// The frame (its alpha bytes ignored) as a premultiplied picture whose alpha
// says how much of each pixel is revealed. Revealed may be null (nothing is
// revealed but what is not Unrevealed) or of another size (outside it likewise).
QImage SeeThroughFrame(const QImage& frame, const TluxBitmap* revealed);
