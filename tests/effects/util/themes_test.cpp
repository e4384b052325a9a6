#include "effects/util/platformhelpers.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class Themes : public testing::Test {
protected:
    static void SetUpTestSuite() { startPlatformHelpers(); }
};

const QRgb ground = qRgb(1, 2, 3);

// Draws one part into a fresh image filled with `ground`.
QImage drawPart(int part, int state, const TRect& r, const TRect* clip = nullptr)
{
    QImage image(60, 30, QImage::Format_ARGB32);
    image.fill(ground);
    DeviceContext dc(&image);
    HTHEME theme = OpenThemeData(nullptr, u"Window");
    EXPECT_EQ(DrawThemeBackground(theme, &dc, part, state, &r, clip), S_OK);
    CloseThemeData(theme);
    return image;
}

int changedPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) != ground ? 1 : 0;
    return n;
}

} // namespace

TEST_F(Themes, HoldsAreCountedAndReleasingTooOftenStopsAtZero)
{
    ASSERT_EQ(themeModuleUsers(), 1); // the start-up step's hold
    EXPECT_TRUE(AcquireThemeModule());
    ReleaseThemeModule();
    EXPECT_EQ(themeModuleUsers(), 1);
    EXPECT_NE(OpenThemeData, nullptr);

    ReleaseThemeModule();
    ReleaseThemeModule(); // more releases than holds
    EXPECT_EQ(themeModuleUsers(), 0);
    EXPECT_FALSE(themeModuleLoaded());
    EXPECT_EQ(DrawThemeText, nullptr);
    EXPECT_TRUE(IsWinXP());        // the flag keeps its value
    EXPECT_FALSE(UseThemesSlow()); // nothing loaded to ask

    EXPECT_TRUE(AcquireThemeModule()); // binds again from scratch
    EXPECT_EQ(themeModuleUsers(), 1);
    EXPECT_NE(DrawThemeBackground, nullptr);
}

TEST_F(Themes, ClassicLookMeansThemesOffAndOtherStylesMeanOn)
{
    EXPECT_FALSE(UseThemesSlow()) << "the tests run with the classic Windows style";
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    EXPECT_FALSE(UseThemes()) << "the cached answer waits for UseThemesSlow";
    EXPECT_TRUE(UseThemesSlow());
    EXPECT_TRUE(UseThemes());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    EXPECT_FALSE(UseThemesSlow());
}

TEST_F(Themes, OnlyTheWindowClassOpensAndBadCallsDrawNothing)
{
    HTHEME theme = OpenThemeData(nullptr, u"Button; window");
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(OpenThemeData(nullptr, u"Button;Edit"), nullptr);
    EXPECT_EQ(CloseThemeData(nullptr), E_HANDLE);
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(ground);
    DeviceContext dc(&image);
    const TRect r(0, 0, 10, 10);
    EXPECT_EQ(DrawThemeBackground(theme, &dc, 99, 1, &r, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(nullptr, &dc, WP_CAPTION, 1, &r, nullptr), E_HANDLE);
    EXPECT_EQ(DrawThemeText(theme, &dc, WP_CAPTION, 1, nullptr, 0, 0, 0, &r), E_INVALIDARG);
    EXPECT_EQ(CloseThemeData(theme), S_OK);
    EXPECT_EQ(changedPixels(image), 0);
}

TEST_F(Themes, PartsDrawWithTheStyleInsideTheirRectangleOnly)
{
    const TRect r(5, 5, 55, 25);
    const QImage caption = drawPart(WP_CAPTION, CS_ACTIVE, r);
    EXPECT_EQ(changedPixels(caption), 50 * 20);
    // The caption starts from the highlight colour; an inactive one looks different.
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    EXPECT_NEAR(QColor(caption.pixel(5, 15)).blue(), highlight.blue(), 8);
    EXPECT_NE(drawPart(WP_CAPTION, CS_INACTIVE, r).pixel(5, 15), caption.pixel(5, 15));

    const QImage close = drawPart(WP_CLOSEBUTTON, CBS_NORMAL, TRect(5, 5, 25, 23));
    EXPECT_EQ(changedPixels(close), 20 * 18);
    EXPECT_NE(drawPart(WP_CLOSEBUTTON, CBS_DISABLED, TRect(5, 5, 25, 23)), close);

    const QImage left = drawPart(WP_FRAMELEFT, FS_ACTIVE, TRect(0, 0, 4, 30));
    EXPECT_EQ(changedPixels(left), 4 * 30);
    EXPECT_NE(left.pixel(1, 15), left.pixel(3, 15)); // an edge line, not a plain fill

    const TRect clip(10, 10, 20, 20);
    EXPECT_EQ(changedPixels(drawPart(WP_CAPTION, CS_ACTIVE, r, &clip)), 100);
}

TEST_F(Themes, TextTakesThePartsColourAndLeavesTheContextAsItWas)
{
    QImage image(80, 20, QImage::Format_ARGB32);
    DeviceContext dc(&image);
    dc.setTextColor(clRed);
    dc.setBkMode(OPAQUE);
    // The brightest pixel of anti-aliased text on black is (almost) its ink.
    auto brightestInk = [&](uint32_t flags2) {
        image.fill(qRgb(0, 0, 0));
        HTHEME theme = OpenThemeData(nullptr, u"Window");
        const TRect r(0, 0, 80, 20);
        EXPECT_EQ(DrawThemeText(theme, &dc, WP_CAPTION, CS_ACTIVE, u"Caption", -1, DT_SINGLELINE, flags2, &r), S_OK);
        CloseThemeData(theme);
        QRgb brightest = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 80; ++x)
                brightest = std::max(brightest, image.pixel(x, y) & 0xFFFFFFu);
        return QColor(brightest);
    };
    const QColor normal = brightestInk(0);
    EXPECT_NEAR(normal.green(), QApplication::palette().color(QPalette::HighlightedText).green(), 16);
    const QColor grayed = brightestInk(DTT_GRAYED);
    EXPECT_NEAR(grayed.green(), QApplication::palette().color(QPalette::Disabled, QPalette::Text).green(), 16);
    EXPECT_NE(grayed, normal);
    EXPECT_EQ(dc.textColor(), clRed);
    EXPECT_EQ(dc.bkMode(), OPAQUE);
}
