// The HSL model keeps its components as 32-bit floats and evaluates every
// expression in extended precision, so that results match to the last
// rounding: r, g, b, the extremes, their difference and the hue reduced to
// 0..1 are stored as floats between steps.

#include "effects/bitmap/hslcolor.h"

#include <algorithm>
#include <cmath>

namespace {

using Extended = long double;

constexpr Extended OneThird = 1.0L / 3.0L;
constexpr Extended TwoThirds = 2.0L / 3.0L;

// Nearest integer, halves to the even neighbour; out-of-range values are held
// to a bound that still clamps to the channel range.
int roundHalfEven(Extended v)
{
    if (std::isnan(v))
        return 0;
    v = std::clamp<Extended>(v, -1.0e6L, 1.0e6L);
    return int(std::llrint(v));
}

short channel(int v)
{
    return short(std::clamp(v, -1, 256));
}

// Red, green and blue of C moved by the deltas (clamped), alpha by DA modulo 256.
TluxColor addChannels(unsigned C, int DR, int DG, int DB, int DA)
{
    const auto add = [](unsigned c, int shift, int delta) {
        return TluxColor(std::clamp<int64_t>(int64_t((c >> shift) & 0xFF) + delta, 0, 255)) << shift;
    };
    const TluxColor alpha = TluxColor(((C >> 24) + unsigned(DA)) & 0xFF) << 24;
    return alpha | add(C, 16, DR) | add(C, 8, DG) | add(C, 0, DB);
}

// One correction back into range, no clamping.
int wrapOnce(int v)
{
    if (v >= 256)
        return v - 255;
    if (v < 0)
        return v + 255;
    return v;
}

} // namespace

void RGBtoHSL(unsigned C, float& H, float& S, float& L)
{
    const float r = float(Extended((C >> 16) & 0xFF) / 255);
    const float g = float(Extended((C >> 8) & 0xFF) / 255);
    const float b = float(Extended(C & 0xFF) / 255);
    const float mx = std::max({r, g, b});
    const float mn = std::min({r, g, b});
    L = float((Extended(mx) + mn) / 2);
    if (mx == mn) {
        H = 0;
        S = 0;
        return;
    }
    const float d = float(Extended(mx) - mn);
    if (L >= 0.5f)
        S = float(d / (2 - Extended(mx) - mn));
    else
        S = float(d / (Extended(mx) + mn));
    if (mx == r)
        H = float((Extended(g) - b) / d);
    else if (mx != g)
        H = float((Extended(r) - g) / d + 4);
    else
        H = float((Extended(b) - r) / d + 2);
    H = float(Extended(H) / 6);
    if (H < 0)
        H = float(Extended(H) + 1);
}

TluxColor HSLtoRGB(float H, float S, float L)
{
    if (S == 0) {
        const short v = channel(roundHalfEven(Extended(L) * 255));
        return luxColor(v, v, v, 255);
    }
    const float m2 = L > 0.5f ? float(Extended(L) + S - Extended(L) * S) : float(Extended(L) * (1 + Extended(S)));
    const float m1 = float(2 * Extended(L) - m2);
    const auto hueToChannel = [m1, m2](Extended x) {
        const float hue = float(x - std::floor(x));
        Extended v;
        if (6 * Extended(hue) < 1)
            v = m1 + (Extended(m2) - m1) * hue * 6;
        else if (2 * Extended(hue) < 1)
            v = m2;
        else if (3 * Extended(hue) < 2)
            v = m1 + (Extended(m2) - m1) * (TwoThirds - hue) * 6;
        else
            v = m1;
        return channel(roundHalfEven(v * 255));
    };
    return luxColor(hueToChannel(Extended(H) + OneThird), hueToChannel(Extended(H)),
                    hueToChannel(Extended(H) - OneThird), 255);
}

TluxColor SetHue(unsigned C, int Hue)
{
    float h, s, l;
    RGBtoHSL(C, h, s, l);
    return HSLtoRGB(float(Extended(std::clamp(Hue, 0, 255)) / 255), s, l);
}

TluxColor ChangeHue(unsigned C, int Delta)
{
    float h, s, l;
    RGBtoHSL(C, h, s, l);
    const int v = wrapOnce(int(std::clamp<int64_t>(int64_t(Delta) + roundHalfEven(Extended(h) * 255), INT32_MIN, INT32_MAX)));
    return HSLtoRGB(float(Extended(v) / 255), s, l);
}

TluxColor ChangeSat(unsigned C, int Delta)
{
    float h, s, l;
    RGBtoHSL(C, h, s, l);
    const int v = wrapOnce(int(std::clamp<int64_t>(int64_t(Delta) + roundHalfEven(Extended(s) * 255), INT32_MIN, INT32_MAX)));
    return HSLtoRGB(h, float(Extended(v) / 255), l);
}

TluxColor ChangeBrightness(unsigned C, int Delta)
{
    return addChannels(C | 0xFF000000u, Delta, Delta, Delta, 0);
}

TluxColor ChangeColor(unsigned C, short DR, short DG, short DB, short DA)
{
    return addChannels(C, DR, DG, DB, DA);
}

TluxColor ChangeColor(unsigned C, short D)
{
    return addChannels(C, D, D, D, 0);
}

TluxColor RaisedColor(unsigned C, short DR, short DG, short DB, short DA)
{
    return ChangeColor(C, DR, DG, DB, DA);
}

TluxColor RaisedColor(unsigned C, short D)
{
    return ChangeColor(C, D);
}

// Negated in int, so that -32768 becomes +32768 rather than staying negative.
TluxColor SunkenColor(unsigned C, short DR, short DG, short DB, short DA)
{
    return addChannels(C, -int(DR), -int(DG), -int(DB), -int(DA));
}

TluxColor SunkenColor(unsigned C, short D)
{
    return addChannels(C, -int(D), -int(D), -int(D), 0);
}

TColor StdChangeColor(TColor Color, short DR, short DG, short DB, short /*DA*/)
{
    return TColor(ToRGB(ChangeColor(FromRGB(ColorToRGB(Color)), DR, DG, DB, 0)));
}

TColor StdChangeColor(TColor Color, short D)
{
    return StdChangeColor(Color, D, D, D, 0);
}

uint16_t MulDiv16(unsigned short A, unsigned short B, unsigned short C)
{
    if (C == 0)
        return 0xFFFF;
    return uint16_t(uint32_t(A) * uint32_t(B) / C);
}
