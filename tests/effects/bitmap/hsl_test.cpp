#include "effects/bitmap/hslcolor.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(HslColor, ReferenceColoursAndHalfToEvenRounding)
{
    EXPECT_EQ(HSLtoRGB(0, 1, 0.5f), 0xFFFF0000u);
    // 0.5 * 255 = 127.5 goes to the even neighbour 128, whatever the hue.
    for (float h : {0.0f, 0.25f, 0.7f, 1.0f})
        EXPECT_EQ(HSLtoRGB(h, 0, 0.5f), 0xFF808080u) << h;
    EXPECT_EQ(HSLtoRGB(1.0f / 3, 1, 0.5f), 0xFF00FF00u);
    EXPECT_EQ(HSLtoRGB(2.0f / 3, 1, 0.5f), 0xFF0000FFu);
    // Out-of-range lightness clamps instead of wrapping.
    EXPECT_EQ(HSLtoRGB(0, 0, 2.0f), 0xFFFFFFFFu);
    EXPECT_EQ(HSLtoRGB(0, 1, 1.5f) & 0xFFFFFF, 0xFFFFFFu);

    float h, s, l;
    RGBtoHSL(0x12FF0000, h, s, l);
    EXPECT_FLOAT_EQ(h, 0);
    EXPECT_FLOAT_EQ(s, 1);
    EXPECT_FLOAT_EQ(l, 0.5f);
    RGBtoHSL(0xFF0000FF, h, s, l); // blue: hue 4/6
    EXPECT_FLOAT_EQ(h, 2.0f / 3);
    RGBtoHSL(0xFFFF00FF, h, s, l); // magenta: (g - b) / d < 0 wraps by +1
    EXPECT_FLOAT_EQ(h, 5.0f / 6);
    RGBtoHSL(0xFF404040, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
}

// Every 24-bit colour survives RGBtoHSL then HSLtoRGB.
TEST(HslColor, RoundTripOfEveryColour)
{
    int failures = 0;
    for (uint32_t c = 0; c < 0x1000000; ++c) {
        float h, s, l;
        RGBtoHSL(c, h, s, l);
        if (HSLtoRGB(h, s, l) != (c | 0xFF000000u) && ++failures <= 5)
            ADD_FAILURE() << std::hex << c << " -> " << HSLtoRGB(h, s, l);
    }
    EXPECT_EQ(failures, 0);
}

TEST(HslColor, HueAndSaturationChanges)
{
    // SetHue clamps its argument; the result is opaque.
    EXPECT_EQ(SetHue(0x00FF0000, 85), HSLtoRGB(85.0f / 255, 1, 0.5f));
    EXPECT_EQ(SetHue(0x000000FF, -40), 0xFFFF0000u);
    EXPECT_EQ(SetHue(0xFF00FF00, 999), SetHue(0xFF00FF00, 255));
    // Red has hue 0: moving it by -1 wraps once to 254/255, by 300 to 45/255.
    EXPECT_EQ(ChangeHue(0xFFFF0000, -1), HSLtoRGB(254.0f / 255, 1, 0.5f));
    EXPECT_EQ(ChangeHue(0xFFFF0000, 300), HSLtoRGB(45.0f / 255, 1, 0.5f));
    EXPECT_EQ(ChangeHue(0xFFFF0000, 0), 0xFFFF0000u);
    // Grey has saturation 0; -255 wraps once to 0, a full turn to 1.
    EXPECT_EQ(ChangeSat(0xFF808080, -255), 0xFF808080u);
    EXPECT_EQ(ChangeSat(0xFF808080, 255), HSLtoRGB(0, 1, float(128.0L / 255)));
    EXPECT_EQ(ChangeSat(0x00336699, 0), 0xFF336699u);
}

TEST(HslColor, ChannelDeltas)
{
    EXPECT_EQ(ChangeBrightness(0x10F00A80, 20), 0xFFFF1E94u);
    EXPECT_EQ(ChangeBrightness(0x10F00A80, -20), 0xFFDC006Cu);
    EXPECT_EQ(ChangeBrightness(0x00808080, 2000000000), 0xFFFFFFFFu);
    EXPECT_EQ(ChangeBrightness(0x00808080, -2000000000), 0xFF000000u);

    // Alpha moves modulo 256; the channels clamp.
    EXPECT_EQ(ChangeColor(0xF0102030, 300, -20, 5, 32), 0x10FF0C35u);
    EXPECT_EQ(ChangeColor(0x05102030, 0, 0, 0, -6), 0xFF102030u);
    EXPECT_EQ(ChangeColor(0x80102030, 16), 0x80203040u);
    EXPECT_EQ(RaisedColor(0xF0102030, 300, -20, 5, 32), ChangeColor(0xF0102030, 300, -20, 5, 32));
    EXPECT_EQ(RaisedColor(0x80102030, 16), 0x80203040u);
    EXPECT_EQ(SunkenColor(0x80102030, 16), 0x80001020u);
    EXPECT_EQ(SunkenColor(0x80102030, 1, 2, 3, 1), 0x7F0F1E2Du);
    // -(-32768) is +32768, not -32768 again.
    EXPECT_EQ(SunkenColor(0x80102030, short(-32768)), 0x80FFFFFFu);

    // TColor in, TColor out (0x00BBGGRR); the alpha delta has no effect.
    EXPECT_EQ(StdChangeColor(clRed, -16), TColor(0x0000EF));
    EXPECT_EQ(StdChangeColor(TColor(0x302010), 1, 2, 3, 100), TColor(0x332211));
    EXPECT_EQ(StdChangeColor(SysColor(COLOR_BTNFACE), 0), TColor(ColorToRGB(SysColor(COLOR_BTNFACE))));
}

TEST(HslColor, MulDiv16TruncatesTheQuotient)
{
    EXPECT_EQ(MulDiv16(1000, 1000, 3), 333333 & 0xFFFF);
    EXPECT_EQ(MulDiv16(65535, 65535, 65535), 65535);
    EXPECT_EQ(MulDiv16(7, 3, 2), 10); // 10.5 truncated
    EXPECT_EQ(MulDiv16(7, 3, 0), 0xFFFF);
}
