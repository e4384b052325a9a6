#include "effects/bitmap/luxbitmap.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Every pixel gets a value that tells its place: 0xAARRGGBB with x, y mixed in.
void fillPattern(TluxBitmap& b, uint32_t seed = 0)
{
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            b.SetPixel(x, y, 0xFF000000u | (uint32_t(y) << 12) | uint32_t(x) | (seed << 20));
}

std::string sizeOf(const TluxBitmap& b)
{
    return std::to_string(b.Width) + "x" + std::to_string(b.Height);
}

} // namespace

TEST(LuxBitmap, SetSizeTakesAbsoluteValuesAndIgnoresZeroAndSameSize)
{
    TluxBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.BitmapInfo.biSize, 40u);
    EXPECT_EQ(b.BitmapInfo.biBitCount, 32);
    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.DC, nullptr);
    b.SetSize(-3, -4);
    ASSERT_FALSE(b.Empty());
    EXPECT_EQ(sizeOf(b), "3x4");
    EXPECT_EQ(b.BitmapInfo.biWidth, 3);
    EXPECT_EQ(b.BitmapInfo.biHeight, -4);
    EXPECT_EQ(FindBitmapByDC(b.DC), &b);

    b.Clear(0x12345678);
    const TluxColor* bits = b.Bits;
    b.SetSize(3, -4); // same size: pixels stay
    EXPECT_EQ(b.Bits, bits);
    EXPECT_EQ(b.GetPixel(2, 3), 0x12345678u);
    b.SetSize(5, 0);
    EXPECT_EQ(sizeOf(b), "3x4");

    b.Name = "kept";
    b.AlphaBlend = b.Transparent = true;
    b.SetSize(7, 2); // a new size: new, all-zero memory; name and flags stay
    EXPECT_EQ(sizeOf(b), "7x2");
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(b.Bits[i], 0u);
    EXPECT_EQ(b.Name, "kept");
    EXPECT_TRUE(b.AlphaBlend && b.Transparent);
}

TEST(LuxBitmap, SetSizeTooLargeFailsWithTheSectionTextAndLeavesItEmpty)
{
    TluxBitmap b;
    b.SetSize(10, 10);
    HDC oldDC = b.DC;
    try {
        b.SetSize(50000, 50000);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Bits, nullptr);
    EXPECT_EQ(b.DC, nullptr);
    EXPECT_EQ(FindBitmapByDC(oldDC), nullptr);
    EXPECT_EQ(sizeOf(b), "10x10"); // the size fields keep their old values
    EXPECT_EQ(b.GetPixel(0, 0), 0u);
    b.SetPixel(0, 0, 1); // ignored while empty
    b.Clear(5);
    b.SetAlpha(3);

    // The most negative int has no absolute value in an int: refused, not overflowed.
    EXPECT_THROW(b.SetSize(INT32_MIN, 1), std::runtime_error);
    b.SetSize(4, 4); // usable again
    EXPECT_FALSE(b.Empty());
}

TEST(LuxBitmap, RegistryFindsBitmapsByTheirContextUntilTheyDie)
{
    auto* a = new TluxBitmap;
    TluxBitmap b;
    a->SetSize(2, 2);
    b.SetSize(2, 2);
    HDC adc = a->DC;
    EXPECT_EQ(FindBitmapByDC(adc), a);
    EXPECT_EQ(FindBitmapByDC(b.DC), &b);
    EXPECT_EQ(FindBitmapByDC(nullptr), nullptr);
    delete a;
    EXPECT_EQ(FindBitmapByDC(adc), nullptr);
    DeviceContext foreign;
    EXPECT_EQ(FindBitmapByDC(&foreign), nullptr);
}

TEST(LuxBitmap, ContextAndBitsShareTheSameMemory)
{
    TluxBitmap b;
    b.SetSize(47, 33);
    EXPECT_EQ(b.DC->image(), b.Handle);
    EXPECT_EQ(b.Handle->format(), QImage::Format_ARGB32);
    b.DC->fillSolidRect(TRect(5, 6, 9, 8), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(b.GetPixel(5, 6) & 0x00FFFFFF, 0x112233u);
    EXPECT_EQ(b.GetPixel(8, 7) & 0x00FFFFFF, 0x112233u);
    EXPECT_EQ(b.GetPixel(9, 7), 0u);
    b.SetPixel(46, 32, 0xFFABCDEF);
    EXPECT_EQ(b.DC->getPixel(46, 32), RGB(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(b.GetScanLine(32) + 46, b.GetPixelPtr(46, 32));
    // Outside: reads give 0, writes are ignored.
    EXPECT_EQ(b.GetPixel(b.Width, 0), 0u);
    EXPECT_EQ(b.GetPixel(0, b.Height), 0u);
    EXPECT_EQ(b.GetPixel(-1, 0), 0u);
    b.SetPixel(b.Width, 0, 7);
    b.SetPixel(0, b.Height, 7);
    b.SetPixel(-1, -1, 7);
    EXPECT_EQ(b.GetPixel(0, 1), 0u);
    EXPECT_EQ(b.GetPixel(46, 31), 0u);
}

TEST(LuxBitmap, AssignCopiesPixelsNameAndFlags)
{
    TluxBitmap a, b;
    a.SetSize(5, 3);
    fillPattern(a);
    a.Name = "source";
    a.AlphaBlend = true;
    b.Assign(&a);
    EXPECT_EQ(sizeOf(b), "5x3");
    EXPECT_EQ(b.Name, "source");
    EXPECT_TRUE(b.AlphaBlend);
    EXPECT_FALSE(b.Transparent);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(b.GetPixel(x, y), a.GetPixel(x, y));
    TluxBitmap empty;
    b.Assign(&empty);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(sizeOf(b), "0x0");
}

TEST(LuxBitmap, SetAlphaReachesEveryPixelAndClipsRectangles)
{
    TluxBitmap b;
    b.SetSize(47, 33);
    b.Clear(0x00123456);
    b.SetAlpha(255);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(b.GetPixel(46, 32), 0xFF123456u); // the last pixel too
    b.SetAlpha(0x40, TRect(-5, 30, 3, 50));
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 47; ++x)
            ASSERT_EQ(b.GetPixel(x, y) >> 24, (x < 3 && y >= 30) ? 0x40u : 0xFFu) << x << "," << y;
    b.SetAlpha(0x10, TRect(5, 5, 5, 9)); // zero width: nothing
    b.SetAlpha(0x10, TRect(50, 0, 60, 9)); // outside: nothing
    EXPECT_EQ(b.GetPixel(5, 5), 0xFF123456u);
}

TEST(LuxBitmap, CheckingAlphaBlendLooksForPartialAlpha)
{
    TluxBitmap b;
    b.AlphaBlend = true;
    b.CheckingAlphaBlend(); // empty: not scanned, flag cleared
    EXPECT_FALSE(b.AlphaBlend);
    b.SetSize(9, 7);
    b.Clear(0xFF000000);
    b.SetPixel(3, 3, 0x00FFFFFF);
    b.CheckingAlphaBlend();
    EXPECT_FALSE(b.AlphaBlend); // only 0 and 255
    b.SetPixel(8, 6, 0xFE000000);
    b.CheckingAlphaBlend(TRect(0, 0, 1, 1)); // the rectangle is not consulted
    EXPECT_TRUE(b.AlphaBlend);
    b.SetPixel(8, 6, 0x01000000);
    b.CheckingAlphaBlend();
    EXPECT_TRUE(b.AlphaBlend);
}

TEST(LuxBitmap, CheckingTransparentKeysPixelsWithinFiveOfTheColour)
{
    const TluxColor c = 0xFF506070;
    TluxBitmap b;
    b.SetSize(8, 2);
    b.Clear(0xFF000000);
    // Differences of 5 in every channel (either sign) become holes; 6 in any one does not.
    b.SetPixel(0, 0, 0x00556575); // +5 +5 +5, other alpha
    b.SetPixel(1, 0, 0xFF4B5B6B); // -5 -5 -5
    b.SetPixel(2, 0, 0xFF566070); // red +6
    b.SetPixel(3, 0, 0xFF505A70); // green -6
    b.SetPixel(4, 0, 0xFF506076); // blue +6
    b.SetPixel(5, 0, c);
    b.CheckingTransparent(c);
    EXPECT_TRUE(b.Transparent);
    EXPECT_EQ(b.GetPixel(0, 0), luxTransparent);
    EXPECT_EQ(b.GetPixel(1, 0), luxTransparent);
    EXPECT_EQ(b.GetPixel(2, 0), 0xFF566070u);
    EXPECT_EQ(b.GetPixel(3, 0), 0xFF505A70u);
    EXPECT_EQ(b.GetPixel(4, 0), 0xFF506076u);
    EXPECT_EQ(b.GetPixel(5, 0), luxTransparent);
    EXPECT_EQ(b.GetPixel(7, 1), 0xFF000000u);
    b.CheckingTransparent(TRect(0, 0, 1, 1), 0xFFFFFFFF); // nothing near white: flag cleared
    EXPECT_FALSE(b.Transparent);
}

TEST(LuxBitmap, FillRectOverwritesOrBlendsInsideTheClippedRectangle)
{
    TluxBitmap b;
    b.SetSize(13, 11);
    b.Clear(0xFF0000FF);
    b.FillRect(TRect(-3, 8, 4, 20), 0x80FF0000);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(b.GetPixel(x, y), (x < 4 && y >= 8) ? 0x80FF0000u : 0xFF0000FFu);
    b.Clear(0xFF0000FF);
    b.AlphaBlend = true;
    b.FillRect(TRect(10, -1, 14, 2), 0x80FF0000);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(b.GetPixel(x, y), (x >= 10 && y < 2) ? PixelAlphaBlendFunc(0x80FF0000, 0xFF0000FF) : 0xFF0000FFu);
    b.FillRect(TRect(13, 0, 20, 5), luxWhite); // outside: nothing
    b.FillRect(TRect(5, 5, 5, 9), luxWhite);
    EXPECT_EQ(b.GetPixel(12, 4), 0xFF0000FFu);
}
