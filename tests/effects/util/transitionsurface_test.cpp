#include "effects/util/transitionsurface.h"

#include <gtest/gtest.h>

TEST(TransitionSurface, DrawsInsideTheWindowWhereTheScreenCannotBeCopied)
{
    using enum TransitionSurface;
    struct Case {
        const char16_t* platform;
        bool xwayland;
        bool compositor;
        bool blackCopy;
        const char16_t* forced;
        TransitionSurface expected;
    };
    const Case cases[] = {
        {u"xcb", false, false, false, u"", ScreenCopy},
        {u"xcb", false, true, false, u"", ScreenCopy},
        {u"xcb", true, false, false, u"", InWindow},
        {u"xcb", true, true, false, u"", InWindow},
        {u"xcb", false, true, true, u"", InWindow},   // a black copy, and a compositor to blend with
        {u"xcb", false, false, true, u"", ScreenCopy}, // a black screen is what there is to copy
        {u"xcb", false, true, true, u"copy", ScreenCopy},
        {u"wayland", false, true, false, u"", InWindow},
        {u"wayland-egl", false, false, false, u"", InWindow},
        {u"offscreen", false, false, false, u"", ScreenCopy},
        {u"xcb", false, false, false, u"window", InWindow},
        {u"wayland", false, true, false, u"copy", ScreenCopy},
        {u"xcb", true, true, false, u"nonsense", InWindow},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseTransitionSurface(c.platform, c.xwayland, c.compositor, c.blackCopy, c.forced), c.expected)
            << QString::fromUtf16(c.platform).toStdString() << " xwayland " << c.xwayland << " compositor "
            << c.compositor << " black copy " << c.blackCopy << " forced " << QString::fromUtf16(c.forced).toStdString();
}

TEST(TransitionSurface, ACopyIsBlackOnlyWhenNoPixelHasAColour)
{
    struct Case {
        QImage::Format format;
        QRgb fill;
        QPoint dot;
        QRgb dotColour;
        bool black;
    };
    const Case cases[] = {
        {QImage::Format_RGB32, 0xFF000000u, {-1, -1}, 0, true},
        {QImage::Format_ARGB32, 0x00000000u, {-1, -1}, 0, true}, // alpha is no colour
        {QImage::Format_RGB32, 0xFF000000u, {9, 7}, 0xFF000001u, false},
        {QImage::Format_RGB32, 0xFF000000u, {0, 0}, 0xFF010000u, false},
        {QImage::Format_RGB16, 0xFF000000u, {5, 5}, 0xFF00FF00u, false},
    };
    for (const Case& c : cases) {
        QImage picture(10, 8, c.format);
        picture.fill(c.fill);
        if (c.dot.x() >= 0)
            picture.setPixel(c.dot, c.dotColour);
        EXPECT_EQ(allBlack(picture), c.black) << std::hex << c.dotColour;
    }
    EXPECT_TRUE(allBlack(QImage()));
}
