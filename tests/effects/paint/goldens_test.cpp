// Text and glyph routines whose exact shapes come from the font and the style,
// compared with reference pictures in data/. Set LUX_REGENERATE_GOLDENS=1 to
// write the references instead (regenerate-goldens.sh does that under Xvfb).

#include "effects/paint/canvaspainting.h"
#include "platform/framecontrols.h"
#include "effects/bitmap/luxbitmap.h"
#include "tests/effects/paint/painttestcanvas.h"
#include "effects/util/platformhelpers.h"
#include "tests/support/testsupport.h"

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
    // The kinds drawn with black strokes; the routine keeps exactly those. The
    // second row: caption buttons (close, minimize, maximize, restore, help,
    // pushed close) and menu glyphs (arrow, check mark, right-to-left arrow).
    const unsigned types[][2] = {
        {DFC_SCROLL, DFCS_SCROLLUP},    {DFC_SCROLL, DFCS_SCROLLDOWN},        {DFC_SCROLL, DFCS_SCROLLLEFT},
        {DFC_SCROLL, DFCS_SCROLLRIGHT}, {DFC_SCROLL, DFCS_SCROLLCOMBOBOX},    {DFC_MENU, DFCS_MENUBULLET},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED}, {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED},
        {DFC_CAPTION, DFCS_CAPTIONCLOSE}, {DFC_CAPTION, DFCS_CAPTIONMIN},  {DFC_CAPTION, DFCS_CAPTIONMAX},
        {DFC_CAPTION, DFCS_CAPTIONRESTORE}, {DFC_CAPTION, DFCS_CAPTIONHELP}, {DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED},
        {DFC_MENU, DFCS_MENUARROW},     {DFC_MENU, DFCS_MENUCHECK},           {DFC_MENU, DFCS_MENUARROWRIGHT},
    };
    check(QStringLiteral("framecontrolglyphs"), 9 * 20, 40, [&](TCanvas* c) {
        int i = 0;
        for (const auto& t : types) {
            const int x = (i % 9) * 20, y = (i / 9) * 20;
            DrawFrameControlGlyph(c, TRect(x + 2, y + 2, x + 18, y + 18), t[0], t[1], clRed);
            ++i;
        }
    });

    // Whatever else the control draws, only the glyph's strokes reach the canvas,
    // in the glyph colour: a handful of pixels, neither nothing nor the whole box.
    const unsigned strokeKinds[][2] = {{DFC_SCROLL, DFCS_SCROLLDOWN}, {DFC_CAPTION, DFCS_CAPTIONCLOSE},
                                       {DFC_MENU, DFCS_MENUCHECK},    {DFC_MENU, DFCS_MENUARROW}};
    for (const auto& k : strokeKinds) {
        TestCanvas t(20, 20, paper);
        DrawFrameControlGlyph(&t.canvas, TRect(2, 2, 18, 18), k[0], k[1], clGreen);
        int strokes = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                ASSERT_TRUE(t.at(x, y) == paper || t.at(x, y) == opaque(clGreen)) << k[0] << "/" << k[1] << " " << x << "," << y;
                strokes += t.at(x, y) == opaque(clGreen) ? 1 : 0;
            }
        EXPECT_GT(strokes, 4) << k[0] << "/" << k[1];
        EXPECT_LT(strokes, 16 * 16 / 3) << k[0] << "/" << k[1];
    }
    // An inactive caption glyph is grey and embossed: nothing of it is black.
    TestCanvas inactive(20, 20, paper);
    DrawFrameControlGlyph(&inactive.canvas, TRect(2, 2, 18, 18), DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_INACTIVE, clGreen);
    EXPECT_EQ(inactive.map({{paper, '.'}}), TestCanvas(20, 20, paper).map({{paper, '.'}}));
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
