#include "effects/bitmap/luxcolor.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(LuxColor, ConversionsBetweenFrameworkAndPixelOrder)
{
    EXPECT_EQ(FromRGB(0x00112233), 0xFF332211u);
    EXPECT_EQ(ToRGB(0xAA332211), 0x00112233u);
    EXPECT_EQ(luxColorToColor(0xAA332211), TColor(0x00112233));
    EXPECT_EQ(luxColor(short(300), short(-5), short(7), 9), 0x09FF0007u);
    EXPECT_EQ(luxColor(short(1), short(2), short(3)), 0xFF010203u);
    EXPECT_EQ(luxColorToColor16(0xFFFFFFFF), 0xFFFF);
    EXPECT_EQ(luxColorToColor15(0xFFFFFFFF), 0x7FFF);
    EXPECT_EQ(luxColorToColor16(0xFF08040F), (1 << 11) + (1 << 5) + 1);
    EXPECT_EQ(luxColorToColor15(0xFF080808), (1 << 10) + (1 << 5) + 1);
    EXPECT_EQ(luxColor(TluxColorRec{0x11, 0x22, 0x33, 0x44}), 0x00112233u);
    EXPECT_EQ(TluxColorRec::fromColor(0x44332211).Color(), 0x44332211u);
}

TEST(LuxColor, FrameworkColoursTakeTheGivenAlphaAndResolveSystemColours)
{
    EXPECT_EQ(luxColor(clRed), 0xFFFF0000u);
    EXPECT_EQ(luxColor(clBlue, 0x40), 0x400000FFu);
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    EXPECT_EQ(luxColor(clBtnFace, 7), (7u << 24) | (uint32_t(face.red()) << 16) | (uint32_t(face.green()) << 8) |
                                          uint32_t(face.blue()));
}

TEST(LuxColor, KeyColourIsComparedOnItsLowBytes)
{
    EXPECT_EQ(luxTransparentVar, 0x007F007Fu);
    EXPECT_TRUE(IsTransparentKey(0xFF7F007F));
    EXPECT_TRUE(IsTransparentKey(luxTransparent));
    EXPECT_FALSE(IsTransparentKey(luxPurple & 0x00FFFFFE));
    EXPECT_EQ(luxPurple & 0x00FFFFFF, luxTransparent); // purple is a hole when drawn transparently
    EXPECT_EQ(luxNone, 0x33333333u);
    EXPECT_EQ(luxHotHighlight, 0xFFF8C751u);
}
