#pragma once
// Colour arithmetic on TluxColor values: the HSL model, hue, saturation and
// brightness changes, per-channel deltas, and a 16-bit MulDiv.
//
// Floating-point results are brought to integers half to even; hue,
// saturation and lightness are 32-bit floats in 0..1.

#include "platform/color.h"
#include "effects/bitmap/luxcolor.h"

#include <cstdint>

// The HSL form of C's red, green and blue, each in 0..1 (alpha ignored).
void RGBtoHSL(unsigned C, float& H, float& S, float& L);
// The colour of (H, S, L) with alpha 255; channels clamped to 0..255.
TluxColor HSLtoRGB(float H, float S, float L);

// C with hue Hue/255 (Hue clamped to 0..255), its saturation and lightness kept.
TluxColor SetHue(unsigned C, int Hue);
// C with its hue moved by Delta/255; a result of 256 or more loses 255, a
// negative one gains 255, once.
TluxColor ChangeHue(unsigned C, int Delta);
// C with its saturation moved by Delta/255, corrected as ChangeHue does.
TluxColor ChangeSat(unsigned C, int Delta);
// Red, green and blue each + Delta, clamped to 0..255; alpha 255.
TluxColor ChangeBrightness(unsigned C, int Delta);

// Red + DR, green + DG, blue + DB, each clamped to 0..255; alpha + DA modulo 256.
TluxColor ChangeColor(unsigned C, short DR, short DG, short DB, short DA);
TluxColor ChangeColor(unsigned C, short D);
TluxColor RaisedColor(unsigned C, short DR, short DG, short DB, short DA);
TluxColor RaisedColor(unsigned C, short D);
// ChangeColor with every delta negated.
TluxColor SunkenColor(unsigned C, short DR, short DG, short DB, short DA);
TluxColor SunkenColor(unsigned C, short D);
// ChangeColor on a framework colour (system colours resolved); DA has no effect.
TColor StdChangeColor(TColor Color, short DR, short DG, short DB, short DA);
TColor StdChangeColor(TColor Color, short D);

// A * B / C with the product in 32 bits and the quotient cut to 16 bits. A
// zero divisor gives 0xFFFF, as MulDiv gives -1.
uint16_t MulDiv16(unsigned short A, unsigned short B, unsigned short C);
