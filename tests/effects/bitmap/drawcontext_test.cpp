// Drawing onto device contexts and canvases, and the conversions to and from
// the framework's pictures.

#include "effects/bitmap/luxbitmap.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

void fillPattern(TluxBitmap& b)
{
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            b.SetPixel(x, y, 0xFF000000u | (uint32_t(y) << 8) | uint32_t(x));
}

TluxColor at(const QImage& img, int x, int y)
{
    return reinterpret_cast<const TluxColor*>(img.constScanLine(y))[x];
}

// Restores the switch whatever a test does.
struct DibSwitch {
    explicit DibSwitch(bool on) : old(EnableDibOperation) { EnableDibOperation = on; }
    ~DibSwitch() { EnableDibOperation = old; }
    bool old;
};

} // namespace

TEST(DrawContext, PixelMemoryOfAContextIsFoundForArgb32MemoryContextsOnly)
{
    QImage argb(9, 5, QImage::Format_ARGB32);
    DeviceContext dc(&argb);
    int w = -1, h = -1, bpp = -1;
    EXPECT_EQ(GetBitsFromDCFunc(&dc, w, h, bpp), reinterpret_cast<TluxColor*>(argb.bits()));
    EXPECT_EQ(w, 9);
    EXPECT_EQ(h, -5); // rows run top-down
    EXPECT_EQ(bpp, 32);

    QImage rgb(9, 5, QImage::Format_RGB32);
    DeviceContext rgbDC(&rgb);
    EXPECT_EQ(GetBitsFromDCFunc(&rgbDC, w, h, bpp), nullptr);
    EXPECT_EQ(w + h + bpp, 0);
    DeviceContext none;
    EXPECT_EQ(GetBitsFromDCFunc(&none, w, h, bpp), nullptr);

    TluxBitmap b;
    b.SetSize(4, 3);
    EXPECT_EQ(GetBitsFromDCFunc(b.DC, w, h, bpp), b.Bits);
    EXPECT_EQ(h, -3);
}

TEST(DrawContext, DirectAndPlatformRoutesPutPixelsInTheSamePlace)
{
    TluxBitmap b;
    b.SetSize(7, 5);
    fillPattern(b);
    for (bool direct : {true, false}) {
        DibSwitch sw(direct);
        QImage img(20, 16, QImage::Format_ARGB32);
        img.fill(0xFF112233);
        DeviceContext dc(&img);
        dc.setWindowOrigin(TPoint(2, 3)); // logical (5, 6) is device (3, 3)
        b.Draw(&dc, 5, 6, TRect(1, 1, 7, 5));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool inside = x >= 3 && x < 9 && y >= 3 && y < 7;
                ASSERT_EQ(at(img, x, y), inside ? b.GetPixel(x - 2, y - 2) : 0xFF112233u)
                    << (direct ? "direct " : "platform ") << x << "," << y;
            }
    }
}

TEST(DrawContext, ContextOfAnotherBitmapIsDrawnMemoryToMemory)
{
    TluxBitmap b, target;
    b.SetSize(3, 3);
    fillPattern(b);
    b.SetPixel(1, 1, luxTransparent);
    b.Transparent = true;
    target.SetSize(10, 10);
    target.Clear(luxWhite);
    target.DC->setWindowOrigin(TPoint(-2, 0)); // logical (0, 4) is (2, 4) in the bitmap
    TCanvas canvas(target.DC);
    b.Draw(&canvas, 0, 4);
    EXPECT_EQ(target.GetPixel(2, 4), b.GetPixel(0, 0));
    EXPECT_EQ(target.GetPixel(4, 6), b.GetPixel(2, 2));
    EXPECT_EQ(target.GetPixel(3, 5), luxWhite); // the hole
    EXPECT_EQ(target.GetPixel(1, 4), luxWhite);
}

TEST(DrawContext, TransparentAndBlendedDrawingOntoForeignContextsMatchTheBitmapPath)
{
    TluxBitmap b;
    b.SetSize(6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            b.SetPixel(x, y, (x + y) % 3 == 0 ? luxTransparent : ((uint32_t(40 * x + 10) << 24) | 0x00804020u));
    for (int mode = 0; mode < 2; ++mode) {
        b.AlphaBlend = mode == 1;
        b.Transparent = mode == 0;
        // The reference: the same drawing onto a bitmap.
        TluxBitmap ref;
        ref.SetSize(12, 9);
        ref.Clear(0xFF3060C0);
        b.Draw(&ref, TRect(2, 1, 8, 5));
        for (bool direct : {true, false}) {
            DibSwitch sw(direct);
            QImage img(12, 9, QImage::Format_ARGB32);
            img.fill(0xFF3060C0);
            DeviceContext dc(&img);
            TCanvas canvas(&dc);
            b.Draw(&canvas, TRect(2, 1, 8, 5));
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 12; ++x)
                    ASSERT_EQ(at(img, x, y), ref.GetPixel(x, y)) << "mode " << mode << (direct ? " direct " : " platform ")
                                                                 << x << "," << y;
        }
    }
}

TEST(DrawContext, WindowContextsGoThroughThePlatformAndShowTheDrawing)
{
    QWidget w;
    w.resize(40, 30);
    HDC dc = GetDC(&w);
    int bw, bh, bpp;
    EXPECT_EQ(GetBitsFromDCFunc(dc, bw, bh, bpp), nullptr);
    TluxBitmap b;
    b.SetSize(5, 5);
    b.Clear(0xFF00FF00);
    b.SetPixel(2, 2, luxTransparent);
    b.Transparent = true;
    b.Draw(dc, 10, 10);
    const QImage* surface = WindowSurfaceImage(&w);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(at(*surface, 10, 10), 0xFF00FF00u);
    EXPECT_EQ(at(*surface, 14, 14), 0xFF00FF00u);
    EXPECT_NE(at(*surface, 12, 12), 0xFF00FF00u); // the hole shows what was there
    ReleaseDC(&w, dc);
}

TEST(DrawContext, AssignFromPicturesKeepsAlphaOnlyForArgb32)
{
    QImage argb(3, 2, QImage::Format_ARGB32);
    argb.fill(0xFF102030);
    argb.setPixel(2, 1, 0x80405060);
    TluxBitmap b;
    b.Assign(argb);
    EXPECT_EQ(b.Width, 3);
    EXPECT_EQ(b.GetPixel(2, 1), 0x80405060u);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF102030u);
    EXPECT_TRUE(b.AlphaBlend);

    QImage rgb888(4, 3, QImage::Format_RGB888);
    rgb888.fill(QColor(1, 2, 3));
    b.Assign(rgb888);
    EXPECT_EQ(b.Width, 4);
    EXPECT_EQ(b.GetPixel(3, 2), 0xFF010203u);

    // Other formats become opaque even where the picture is translucent.
    QImage premultiplied(2, 2, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(QColor(0, 0, 255, 255));
    premultiplied.setPixelColor(0, 0, QColor(255, 0, 0, 0));
    b.Assign(premultiplied);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF0000FFu);
    EXPECT_EQ(b.GetPixel(0, 0) >> 24, 0xFFu);

    b.Assign(QImage());
    EXPECT_TRUE(b.Empty());
}

TEST(DrawContext, AssignToPicturesAndTheClipboard)
{
    TluxBitmap b;
    b.SetSize(5, 4);
    fillPattern(b);
    QImage out;
    b.AssignTo(out);
    ASSERT_EQ(out.size(), QSize(5, 4));
    EXPECT_EQ(out.format(), QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(at(out, x, y), b.GetPixel(x, y));

    b.SetPixel(0, 0, luxTransparent);
    b.Transparent = true;
    b.AssignTo(out);
    EXPECT_EQ(at(out, 0, 0), 0u); // holes leave the new picture's zero
    EXPECT_EQ(at(out, 1, 0), b.GetPixel(1, 0));

    b.Transparent = false;
    b.AssignTo(QGuiApplication::clipboard());
    const QImage clip = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(clip.size(), QSize(5, 4));
    EXPECT_EQ(at(clip, 4, 3), b.GetPixel(4, 3));

    TluxBitmap empty;
    empty.AssignTo(out);
    EXPECT_TRUE(out.isNull());
}

TEST(DrawContext, DrawGraphicLeavesMagentaAndUncoveredPixelsAlone)
{
    QImage g(2, 2, QImage::Format_ARGB32);
    g.setPixel(0, 0, 0xFFFF00FF); // magenta of the picture itself
    g.setPixel(1, 0, 0xFF00FF00);
    g.setPixel(0, 1, 0x40102030); // translucent: copied as it is
    g.setPixel(1, 1, 0xFF0000FF);
    TluxBitmap b;
    b.SetSize(8, 6);
    b.Clear(0x11223344);
    b.DrawGraphic(g, TRect(2, 2, 6, 6)); // each picture pixel covers 2 x 2
    EXPECT_EQ(b.GetPixel(2, 2), 0x11223344u);
    EXPECT_EQ(b.GetPixel(3, 3), 0x11223344u);
    EXPECT_EQ(b.GetPixel(4, 2), 0xFF00FF00u);
    EXPECT_EQ(b.GetPixel(5, 3), 0xFF00FF00u);
    EXPECT_EQ(b.GetPixel(2, 4), 0x40102030u);
    EXPECT_EQ(b.GetPixel(3, 5), 0x40102030u);
    EXPECT_EQ(b.GetPixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(b.GetPixel(1, 1), 0x11223344u);
    EXPECT_EQ(b.GetPixel(6, 5), 0x11223344u);
}
