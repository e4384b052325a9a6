#include "platformhelpers.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class Themes : public testing::Test {
protected:
    static void SetUpTestSuite() { startPlatformHelpers(); }
};

// Draws one part into a fresh grey image and returns it.
QImage drawPart(int part, int state, const TRect& r, QSize size = QSize(60, 30))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(qRgb(1, 2, 3));
    DeviceContext dc(&image);
    HTHEME theme = OpenThemeData(nullptr, u"Window");
    EXPECT_NE(theme, nullptr);
    EXPECT_EQ(DrawThemeBackground(theme, &dc, part, state, &r, nullptr), S_OK);
    CloseThemeData(theme);
    return image;
}

int pixelsOtherThan(const QImage& image, QRgb colour, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) != colour ? 1 : 0;
    return n;
}

} // namespace

TEST_F(Themes, HoldsAreCountedAndReleasingTooOftenStopsAtZero)
{
    ASSERT_EQ(themeModuleUsers(), 1); // the start-up step's hold
    EXPECT_TRUE(AcquireThemeModule());
    EXPECT_EQ(themeModuleUsers(), 2);
    ReleaseThemeModule();
    EXPECT_EQ(themeModuleUsers(), 1);
    EXPECT_NE(OpenThemeData, nullptr);

    ReleaseThemeModule();
    EXPECT_EQ(themeModuleUsers(), 0);
    EXPECT_FALSE(themeModuleLoaded());
    EXPECT_EQ(OpenThemeData, nullptr);
    EXPECT_EQ(DrawThemeText, nullptr);
    ReleaseThemeModule(); // more releases than holds
    ReleaseThemeModule();
    EXPECT_EQ(themeModuleUsers(), 0);
    EXPECT_TRUE(IsWinXP()); // the flag keeps its value
    EXPECT_FALSE(UseThemesSlow()); // nothing loaded to ask

    // The next hold binds again from scratch.
    EXPECT_TRUE(AcquireThemeModule());
    EXPECT_EQ(themeModuleUsers(), 1);
    EXPECT_NE(DrawThemeBackground, nullptr);
}

TEST_F(Themes, ClassicLookMeansThemesOffAndOtherStylesMeanOn)
{
    ASSERT_TRUE(themeModuleLoaded());
    EXPECT_FALSE(UseThemesSlow()) << "the tests run with the classic Windows style";
    EXPECT_FALSE(UseThemes());

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    EXPECT_FALSE(UseThemes()) << "the cached answer waits for UseThemesSlow";
    EXPECT_TRUE(UseThemesSlow());
    EXPECT_TRUE(UseThemes());

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    EXPECT_FALSE(UseThemesSlow());
    EXPECT_FALSE(UseThemes());
}

TEST_F(Themes, OnlyTheWindowClassOpensAndBadArgumentsAreRefused)
{
    HTHEME theme = OpenThemeData(nullptr, u"Button; window");
    ASSERT_NE(theme, nullptr);
    EXPECT_EQ(CloseThemeData(theme), S_OK);
    EXPECT_EQ(OpenThemeData(nullptr, u"Button;Edit"), nullptr);
    EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);
    EXPECT_EQ(CloseThemeData(nullptr), E_HANDLE);

    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(0);
    DeviceContext dc(&image);
    const TRect r(0, 0, 10, 10);
    theme = OpenThemeData(nullptr, u"Window");
    EXPECT_EQ(DrawThemeBackground(theme, &dc, 99, 1, &r, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(theme, nullptr, WP_CAPTION, 1, &r, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(nullptr, &dc, WP_CAPTION, 1, &r, nullptr), E_HANDLE);
    EXPECT_EQ(DrawThemeText(theme, &dc, WP_CAPTION, 1, nullptr, 0, 0, 0, &r), E_INVALIDARG);
    CloseThemeData(theme);
    EXPECT_EQ(pixelsOtherThan(image, 0, image.rect()), 0) << "refused calls draw nothing";
}

TEST_F(Themes, PartsDrawWithTheStyleInsideTheirRectangleOnly)
{
    const QRgb ground = qRgb(1, 2, 3);
    const TRect r(5, 5, 55, 25);
    const QRect inside(5, 5, 50, 20);

    const QImage caption = drawPart(WP_CAPTION, CS_ACTIVE, r);
    // The caption runs from the highlight colour at its left end.
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    const QColor leftEnd = QColor(caption.pixel(5, 15));
    EXPECT_NEAR(leftEnd.red(), highlight.red(), 8);
    EXPECT_NEAR(leftEnd.green(), highlight.green(), 8);
    EXPECT_NEAR(leftEnd.blue(), highlight.blue(), 8);
    EXPECT_EQ(pixelsOtherThan(caption, ground, inside), inside.width() * inside.height());
    EXPECT_EQ(pixelsOtherThan(caption, ground, caption.rect()), inside.width() * inside.height());
    EXPECT_NE(drawPart(WP_CAPTION, CS_INACTIVE, r).pixel(5, 15), caption.pixel(5, 15));

    const QImage close = drawPart(WP_CLOSEBUTTON, CBS_NORMAL, TRect(5, 5, 25, 23));
    EXPECT_EQ(pixelsOtherThan(close, ground, close.rect()), 20 * 18);
    EXPECT_NE(drawPart(WP_CLOSEBUTTON, CBS_DISABLED, TRect(5, 5, 25, 23)), close);

    const QImage left = drawPart(WP_FRAMELEFT, FS_ACTIVE, TRect(0, 0, 4, 30));
    EXPECT_EQ(pixelsOtherThan(left, ground, left.rect()), 4 * 30);
    // Not a plain fill: the outer edge has its light and dark lines.
    EXPECT_NE(left.pixel(1, 15), left.pixel(3, 15));

    // The clip rectangle limits the drawing.
    QImage clipped(60, 30, QImage::Format_ARGB32);
    clipped.fill(ground);
    DeviceContext dc(&clipped);
    HTHEME theme = OpenThemeData(nullptr, u"Window");
    const TRect clip(10, 10, 20, 20);
    EXPECT_EQ(DrawThemeBackground(theme, &dc, WP_CAPTION, CS_ACTIVE, &r, &clip), S_OK);
    CloseThemeData(theme);
    EXPECT_EQ(pixelsOtherThan(clipped, ground, clipped.rect()), 100);
}

namespace {

// Draws "Caption" in the caption part onto black and returns the brightest pixel:
// anti-aliased glyphs reach (almost) their ink colour where fully covered.
QColor brightestInk(DeviceContext& dc, QImage& image, uint32_t flags2)
{
    image.fill(qRgb(0, 0, 0));
    HTHEME theme = OpenThemeData(nullptr, u"Window");
    const TRect r(0, 0, image.width(), image.height());
    const QString text = QStringLiteral("Caption");
    EXPECT_EQ(DrawThemeText(theme, &dc, WP_CAPTION, CS_ACTIVE, reinterpret_cast<const char16_t*>(text.utf16()), -1,
                  DT_SINGLELINE, flags2, &r),
        S_OK);
    CloseThemeData(theme);
    QRgb brightest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            brightest = std::max(brightest, image.pixel(x, y) & 0xFFFFFFu);
    return QColor(brightest);
}

} // namespace

TEST_F(Themes, TextUsesThePartsColourAndLeavesTheContextAsItWas)
{
    QImage image(80, 20, QImage::Format_ARGB32);
    DeviceContext dc(&image);
    dc.setTextColor(clRed);
    dc.setBkMode(OPAQUE);
    const QColor normal = brightestInk(dc, image, 0);
    const QColor ink = QApplication::palette().color(QPalette::HighlightedText);
    EXPECT_NEAR(normal.red(), ink.red(), 16);
    EXPECT_NEAR(normal.green(), ink.green(), 16);
    EXPECT_NEAR(normal.blue(), ink.blue(), 16);
    EXPECT_EQ(dc.textColor(), clRed);
    EXPECT_EQ(dc.bkMode(), OPAQUE);

    const QColor grayed = brightestInk(dc, image, DTT_GRAYED);
    const QColor disabled = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    EXPECT_NEAR(grayed.red(), disabled.red(), 16);
    EXPECT_NE(grayed, normal);
}
