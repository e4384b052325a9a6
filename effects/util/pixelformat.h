#pragma once
// The screen's pixel format as a pixel-format ordinal.

#include <cstdint>

// 1 = 1 bit, 2 = 4 bits, 3 = 8 bits, 4 = 15 bits, 5 = 16 bits, 6 = 24 bits,
// 7 = 32 bits, 8 = custom (anything else).
enum TPixelFormat : uint8_t {
    pfDevice = 0,
    pf1bit = 1,
    pf4bit = 2,
    pf8bit = 3,
    pf15bit = 4,
    pf16bit = 5,
    pf24bit = 6,
    pf32bit = 7,
    pfCustom = 8,
};

// The screen's pixel format as GetPixelFormat last measured it; pfCustom before that.
extern uint8_t CPixelFormat;

// The ordinal for a number of bits per pixel (pfCustom for unusual depths).
uint8_t pixelFormatForBitsPerPixel(int bitsPerPixel);

// Measures the bits per pixel of an image in the screen's native layout, stores the
// ordinal in CPixelFormat and returns it. Without a screen the answer is pfCustom.
// An X screen of depth 24 keeps 32 bits per pixel, so it answers pf32bit.
uint8_t GetPixelFormat();
