#pragma once
// TluxColor: one pixel of the effects library, 0xAARRGGBB, not premultiplied.
// In memory the bytes are blue, green, red, alpha: the order of a 32-bit
// device-independent bitmap and of QImage::Format_ARGB32, so rows are copied
// to and from platform images without conversion.

#include "platform/color.h"

#include <cstdint>
#include <vector>

using TluxColor = uint32_t;

// The four bytes of a pixel in memory order.
struct TluxColorRec {
    uint8_t B = 0;
    uint8_t G = 0;
    uint8_t R = 0;
    uint8_t A = 0;

    constexpr TluxColor Color() const
    {
        return TluxColor(B) | (TluxColor(G) << 8) | (TluxColor(R) << 16) | (TluxColor(A) << 24);
    }
    static constexpr TluxColorRec fromColor(TluxColor c)
    {
        return TluxColorRec{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)};
    }
};

// A growable row of pixels; the stretch operations use one as a scratch row.
using TArrayOfluxColor = std::vector<TluxColor>;

// The key colour of transparent drawing. A pixel is a hole when its low 24 bits
// equal 0x7F007F, whatever its alpha byte.
inline constexpr TluxColor luxTransparent = 0x007F007F;
inline constexpr TluxColor luxTransparentMask = 0x00FFFFFF;

constexpr bool IsTransparentKey(TluxColor c) { return (c & luxTransparentMask) == (luxTransparent & luxTransparentMask); }

inline constexpr TluxColor luxBlack = 0xFF000000;
inline constexpr TluxColor luxGray = 0xFF7F7F7F;
inline constexpr TluxColor luxWhite = 0xFFFFFFFF;
inline constexpr TluxColor luxMaroon = 0xFF7F0000;
inline constexpr TluxColor luxGreen = 0xFF007F00;
inline constexpr TluxColor luxOlive = 0xFF7F7F00;
inline constexpr TluxColor luxNavy = 0xFF00007F;
inline constexpr TluxColor luxPurple = 0xFF7F007F;
inline constexpr TluxColor luxTeal = 0xFF007F7F;
inline constexpr TluxColor luxRed = 0xFFFF0000;
inline constexpr TluxColor luxLime = 0xFF00FF00;
inline constexpr TluxColor luxYellow = 0xFFFFFF00;
inline constexpr TluxColor luxBlue = 0xFF0000FF;
inline constexpr TluxColor luxFuchsia = 0xFFFF00FF;
inline constexpr TluxColor luxAqua = 0xFF00FFFF;
inline constexpr TluxColor luxMenu = 0xFFEDEDEE;
inline constexpr TluxColor luxBorder = 0xFF003399;
inline constexpr TluxColor luxWindow = 0xFFEBEBEE;
inline constexpr TluxColor luxBtnFace = 0xFFD2D2D2;
inline constexpr TluxColor luxBtnShadow = 0xFFA8A8A8;
inline constexpr TluxColor luxHotHighlight = 0xFFF8C751;
inline constexpr TluxColor luxHighlight = 0xFF64A0FF;
inline constexpr TluxColor luxHintBack = 0xFFEBEBEE;
// Means "no colour".
inline constexpr TluxColor luxNone = 0x33333333;
inline constexpr TluxColor luxTransparentVar = luxTransparent;

// 0x00BBGGRR -> 0xFFRRGGBB (red and blue exchanged, alpha 255).
constexpr TluxColor FromRGB(uint32_t C)
{
    return 0xFF000000u | ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
}

// 0xAARRGGBB -> 0x00BBGGRR; the alpha byte is dropped.
constexpr uint32_t ToRGB(uint32_t C)
{
    return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
}

// A framework colour (system colours resolved) with the given alpha.
TluxColor luxColor(TColor Color, unsigned char Alpha = 255);

// Channels clamped to 0..255: (A << 24) + (R << 16) + (G << 8) + B.
constexpr TluxColor luxColor(short R, short G, short B, unsigned char A = 255)
{
    const auto clamp = [](short v) { return TluxColor(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return (TluxColor(A) << 24) + (clamp(R) << 16) + (clamp(G) << 8) + clamp(B);
}

// The record's value as an RGB value 0x00BBGGRR.
constexpr uint32_t luxColor(TluxColorRec C) { return ToRGB(C.Color()); }

constexpr TColor luxColorToColor(uint32_t C) { return TColor(ToRGB(C)); }

// 5-6-5: ((R >> 3) << 11) + ((G >> 2) << 5) + (B >> 3).
constexpr uint16_t luxColorToColor16(uint32_t C)
{
    const uint32_t r = (C >> 16) & 0xFF, g = (C >> 8) & 0xFF, b = C & 0xFF;
    return uint16_t(((r >> 3) << 11) + ((g >> 2) << 5) + (b >> 3));
}

// 5-5-5: ((R >> 3) << 10) + ((G >> 3) << 5) + (B >> 3).
constexpr uint16_t luxColorToColor15(uint32_t C)
{
    const uint32_t r = (C >> 16) & 0xFF, g = (C >> 8) & 0xFF, b = C & 0xFF;
    return uint16_t(((r >> 3) << 10) + ((g >> 3) << 5) + (b >> 3));
}
