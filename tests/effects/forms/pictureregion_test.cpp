// Regions made from mask pictures and from bitmaps with a transparent key colour.

#include "effects/bitmap/luxbitmap.h"
#include "effects/forms/pictureregion.h"

#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kKey = 0xFF204060; // TColor 0x604020
constexpr TColor kKeyColor = 0x604020;

bool isKey(QRgb c) { return (c & 0xFFFFFF) == (kKey & 0xFFFFFF); }

// QRegion's == compares rectangle lists, which depend on how a region was
// built; two regions hold the same pixels when nothing is in just one of them.
bool samePixels(const QRegion& a, const QRegion& b) { return (a ^ b).isEmpty(); }

// The slow way: one rectangle per qualifying pixel, united one by one.
QRegion pixelUnion(const QImage& img, bool keys)
{
    QRegion r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isKey(img.pixel(x, y)) == keys)
                r += QRect(x, y, 1, 1);
    return r;
}

// Key-coloured pixels (with random alpha bytes) and others at random; some rows
// repeat the row above, so that runs merge into taller bands.
QImage randomPicture(int w, int h, quint32 seed)
{
    QRandomGenerator rng(seed);
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const bool copyRow = y > 0 && rng.bounded(3) == 0;
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, copyRow ? img.pixel(x, y - 1)
                    : rng.bounded(2)   ? (kKey & 0xFFFFFF) | (rng.bounded(256) << 24)
                                       : 0xFF000000 | rng.bounded(0x1000000));
    }
    return img;
}

TEST(CreateRegionFromPicture, NoRegionWithoutPictureOrQualifyingPixel)
{
    EXPECT_FALSE(CreateRegionFromPicture(QImage(), 10, 10, kKeyColor, mmExclude));
    EXPECT_FALSE(CreateRegionFromPicture(QImage(0, 5, QImage::Format_ARGB32), 10, 10, kKeyColor, mmExclude));
    QImage img(20, 10, QImage::Format_ARGB32);
    img.fill(kKey);
    EXPECT_FALSE(CreateRegionFromPicture(img, 0, 10, kKeyColor, mmInclude));
    EXPECT_FALSE(CreateRegionFromPicture(img, 20, 10, kKeyColor, mmExclude));
    const auto all = CreateRegionFromPicture(img, 20, 10, kKeyColor, mmInclude);
    ASSERT_TRUE(all);
    EXPECT_TRUE(samePixels(*all, QRegion(0, 0, 20, 10)));
    // Pixels the picture does not cover never qualify.
    EXPECT_TRUE(samePixels(*CreateRegionFromPicture(img, 50, 40, kKeyColor, mmInclude), QRegion(0, 0, 20, 10)));
}

TEST(CreateRegionFromPicture, AlternatingRowGivesOnePixelRectangles)
{
    QImage img(9, 1, QImage::Format_RGB32);
    for (int x = 0; x < 9; ++x)
        img.setPixel(x, 0, x % 2 ? kKey : 0xFFFFFFFF);
    EXPECT_EQ(CreateRegionFromPicture(img, 9, 1, kKeyColor, mmExclude)->rectCount(), 5);
    const auto keys = CreateRegionFromPicture(img, 9, 1, kKeyColor, mmInclude);
    ASSERT_EQ(keys->rectCount(), 4);
    for (const QRect& r : *keys)
        EXPECT_TRUE(r.width() == 1 && r.height() == 1 && r.x() % 2 == 1) << r.x();
}

TEST(CreateRegionFromPicture, MatchesPixelModelInBothModes)
{
    for (quint32 seed = 1; seed <= 6; ++seed) {
        const QImage img = randomPicture(47, 33, seed);
        const auto ex = CreateRegionFromPicture(img, 47, 33, kKeyColor, mmExclude);
        const auto in = CreateRegionFromPicture(img, 47, 33, kKeyColor, mmInclude);
        ASSERT_TRUE(ex && in) << seed;
        EXPECT_TRUE(samePixels(*ex, pixelUnion(img, false))) << seed;
        EXPECT_TRUE(samePixels(*in, pixelUnion(img, true))) << seed;
    }
}

TEST(CreateRegionFromPicture, SystemColourKeyIsResolved)
{
    const uint32_t rgb = ColorToRGB(clHighlight);
    const QRgb colour = qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    const QRgb swapped = qRgb(GetBValue(rgb), GetGValue(rgb), GetRValue(rgb));
    ASSERT_NE(colour, swapped);
    QImage img(4, 2, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    img.setPixel(1, 0, swapped);
    img.setPixel(2, 1, colour);
    EXPECT_TRUE(samePixels(*CreateRegionFromPicture(img, 4, 2, clHighlight, mmInclude), QRegion(2, 1, 1, 1)));
}

TEST(CreateRegionFromBitmap, KeyPixelsAreHolesAndRunsAreMoved)
{
    TluxBitmap bmp;
    EXPECT_FALSE(CreateRegionFromBitmap(&bmp, 0, 0));
    EXPECT_FALSE(CreateRegionFromBitmap(nullptr, 0, 0));

    // All key colour, whatever the alpha byte: a region without pixels.
    bmp.SetSize(47, 33);
    bmp.Clear(0xAB7F007F);
    const auto none = CreateRegionFromBitmap(&bmp, 0, 0);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isEmpty());

    const QImage img = randomPicture(47, 33, 99);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 47; ++x)
            bmp.SetPixel(x, y, isKey(img.pixel(x, y)) ? luxTransparent : img.pixel(x, y));
    EXPECT_TRUE(samePixels(*CreateRegionFromBitmap(&bmp, -5, 12), pixelUnion(img, false).translated(-5, 12)));
}

TEST(CreateRegionFromBitmap, BusyPictureBeyondFiveThousandRuns)
{
    // A 211 x 197 checkerboard: every other pixel is a run of its own.
    TluxBitmap bmp;
    bmp.SetSize(211, 197);
    for (int y = 0; y < 197; ++y)
        for (int x = 0; x < 211; ++x)
            bmp.SetPixel(x, y, (x + y) % 2 ? luxBlue : luxTransparent);
    const auto r = CreateRegionFromBitmap(&bmp, 3, 4);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rectCount(), 211 * 197 / 2);
    // Every run present once, at its place.
    std::vector<int> hits(211 * 197, 0);
    for (const QRect& piece : *r)
        for (int y = piece.top(); y <= piece.bottom(); ++y)
            for (int x = piece.left(); x <= piece.right(); ++x) {
                ASSERT_TRUE(QRect(3, 4, 211, 197).contains(x, y)) << x << "," << y;
                ++hits[(y - 4) * 211 + (x - 3)];
            }
    for (int i = 0; i < 211 * 197; ++i)
        ASSERT_EQ(hits[i], (i % 211 + i / 211) % 2) << i;

    QImage img;
    bmp.AssignTo(img);
    EXPECT_TRUE(samePixels(*CreateRegionFromPicture(img, 211, 197, clBlue, mmInclude), r->translated(-3, -4)));
}

} // namespace
