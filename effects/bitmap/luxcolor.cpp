#include "effects/bitmap/luxcolor.h"

TluxColor luxColor(TColor Color, unsigned char Alpha)
{
    return (FromRGB(ColorToRGB(Color)) & 0x00FFFFFF) | (TluxColor(Alpha) << 24);
}
