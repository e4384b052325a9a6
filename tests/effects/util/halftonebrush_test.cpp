#include "effects/util/halftonebrush.h"

#include <gtest/gtest.h>

TEST(HalftoneBrush, IsACheckerboardOfTheColourAndTheButtonFace)
{
    const LogBrush brush = CreateHalftoneBrush(clRed);
    ASSERT_EQ(brush.Style, BrushStyle::Pattern);
    ASSERT_EQ(brush.Pattern.size(), QSize(8, 8));
    const uint32_t face = ColorToRGB(clBtnFace);
    const QRgb faceArgb = qRgb(GetRValue(face), GetGValue(face), GetBValue(face));
    int colourPixels = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const QRgb px = brush.Pattern.pixel(x, y);
            if ((x + y) % 2 == 0) {
                EXPECT_EQ(px, qRgb(255, 0, 0)) << x << "," << y;
                ++colourPixels;
            } else {
                EXPECT_EQ(px, faceArgb) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(colourPixels, 32);
    // System colours are resolved before the pattern is built.
    const uint32_t ink = ColorToRGB(clWindowText);
    EXPECT_EQ(CreateHalftoneBrush(clWindowText).Pattern.pixel(0, 0), qRgb(GetRValue(ink), GetGValue(ink), GetBValue(ink)));
}
