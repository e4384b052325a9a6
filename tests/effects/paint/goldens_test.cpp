// Text and glyph routines whose exact shapes come from the font and the style,
// compared with reference pictures in data/. Set LUX_REGENERATE_GOLDENS=1 to
// write the references instead (regenerate-goldens.sh does that under Xvfb).

#include "canvaspainting.h"
#include "framecontrols.h"
#include "luxbitmap.h"
#include "painttestcanvas.h"
#include "platformhelpers.h"
#include "testsupport.h"

#include <QDir>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr QRgb paper = 0xFFF0F0E8;

class Goldens : public testing::Test {
protected:
    static void SetUpTestSuite() { startPlatformHelpers(); }

    // Paints on a fresh canvas of w x h and compares the result with data/<name>.png.
    void check(const QString& name, int w, int h, const std::function<void(TCanvas*)>& paint)
    {
        TestCanvas t(w, h, paper);
        paint(&t.canvas);
        const QString path = luxtest::dataDir() + QLatin1Char('/') + name + QStringLiteral(".png");
        if (qEnvironmentVariableIntValue("LUX_REGENERATE_GOLDENS") == 1) {
            QDir().mkpath(luxtest::dataDir());
            ASSERT_TRUE(t.image.save(path)) << path.toStdString();
            return;
        }
        const QImage golden(path);
        ASSERT_FALSE(golden.isNull()) << "missing reference " << path.toStdString();
        const qint64 differing = luxtest::differingPixels(t.image, golden);
        if (differing != 0)
            t.image.save(QDir::tempPath() + QStringLiteral("/paint-") + name + QStringLiteral(".png"));
        EXPECT_EQ(differing, 0) << name.toStdString() << ": the picture drawn is in "
                                << QDir::tempPath().toStdString() << "/paint-" << name.toStdString() << ".png";
    }
};

} // namespace

TEST_F(Goldens, DrawTextInRectanglesAndAtPoints)
{
    check(QStringLiteral("drawtext"), 160, 64, [](TCanvas* c) {
        TRect centred(0, 0, 160, 20);
        DrawText(c, QStringLiteral("Centred text"), centred, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        TRect wrapped(4, 20, 90, 64);
        c->Font.Color = clNavy;
        DrawText(c, QStringLiteral("Words that wrap onto a second line"), wrapped, DT_WORDBREAK);
        c->Font.Font.setBold(true);
        c->Font.Color = clMaroon;
        DrawText(c, QStringLiteral("&Send"), 100, 40);
    });
}

TEST_F(Goldens, VerticalTextBothWays)
{
    check(QStringLiteral("verticaltext"), 60, 90, [](TCanvas* c) {
        DrawVerticalText(c, QStringLiteral("Clockwise"), TRect(4, 4, 24, 86), DT_SINGLELINE | DT_CENTER | DT_VCENTER, true);
        c->Font.Font.setItalic(true);
        DrawVerticalText(c, QStringLiteral("Anticlockwise"), TRect(32, 4, 52, 86), DT_SINGLELINE | DT_VCENTER, false);
    });
}

TEST_F(Goldens, FrameControlGlyphsInAnyColour)
{
    // The kinds the style draws with black strokes; the routine keeps exactly those.
    const unsigned types[][2] = {
        {DFC_SCROLL, DFCS_SCROLLUP},    {DFC_SCROLL, DFCS_SCROLLDOWN},        {DFC_SCROLL, DFCS_SCROLLLEFT},
        {DFC_SCROLL, DFCS_SCROLLRIGHT}, {DFC_SCROLL, DFCS_SCROLLCOMBOBOX},    {DFC_MENU, DFCS_MENUBULLET},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED}, {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED},
    };
    check(QStringLiteral("framecontrolglyphs"), 9 * 20, 20, [&](TCanvas* c) {
        int x = 0;
        for (const auto& t : types) {
            DrawFrameControlGlyph(c, TRect(x + 2, 2, x + 18, 18), t[0], t[1], clRed);
            x += 20;
        }
    });

    // Whatever the style draws, only the glyph colour reaches the canvas.
    TestCanvas t(20, 20, paper);
    DrawFrameControlGlyph(&t.canvas, TRect(2, 2, 18, 18), DFC_SCROLL, DFCS_SCROLLDOWN, clGreen);
    int strokes = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            ASSERT_TRUE(t.at(x, y) == paper || t.at(x, y) == opaque(clGreen)) << x << "," << y;
            strokes += t.at(x, y) == opaque(clGreen) ? 1 : 0;
        }
    EXPECT_GT(strokes, 4);
}

TEST_F(Goldens, GlyphShadowUnderItsGlyph)
{
    check(QStringLiteral("glyphshadow"), 30, 30, [](TCanvas* c) {
        TluxBitmap glyph;
        glyph.SetSize(20, 20);
        glyph.Clear(luxTransparent);
        QPainter p(glyph.Handle);
        p.setPen(Qt::black);
        QFont font = c->Font.Font;
        font.setStyleStrategy(QFont::NoAntialias);
        font.setPointSize(12);
        p.setFont(font);
        p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("A"));
        p.end();
        DrawGlyphShadow(c, 6, 6, &glyph, clBlack);
        glyph.Transparent = true;
        glyph.Draw(c, 4, 4);
    });
}
