#include "effects/util/transitionsurface.h"

#include <gtest/gtest.h>

TEST(TransitionSurface, DrawsInsideTheWindowWhereTheScreenCannotBeCopied)
{
    using enum TransitionSurface;
    struct Case {
        const char16_t* platform;
        bool xwayland;
        bool compositor;
        const char16_t* forced;
        TransitionSurface expected;
    };
    const Case cases[] = {
        {u"xcb", false, false, u"", ScreenCopy}, // nothing but the copy shows what lies behind
        {u"xcb", false, true, u"", InWindow},    // the compositor blends with the live desktop
        {u"xcb", true, false, u"", InWindow},
        {u"xcb", true, true, u"", InWindow},
        {u"xcb", false, true, u"copy", ScreenCopy},
        {u"wayland", false, true, u"", InWindow},
        {u"wayland-egl", false, false, u"", InWindow},
        {u"offscreen", false, false, u"", ScreenCopy},
        {u"xcb", false, false, u"window", InWindow},
        {u"wayland", false, true, u"copy", ScreenCopy},
        {u"xcb", true, true, u"nonsense", InWindow},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseTransitionSurface(c.platform, c.xwayland, c.compositor, c.forced), c.expected)
            << QString::fromUtf16(c.platform).toStdString() << " xwayland " << c.xwayland << " compositor "
            << c.compositor << " forced " << QString::fromUtf16(c.forced).toStdString();
}
