// Regions made from mask pictures and from bitmaps with a transparent key colour.

#include "luxbitmap.h"
#include "pictureregion.h"

#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kKey = 0xFF204060; // TColor 0x604020
constexpr TColor kKeyColor = 0x604020;

// The region a picture should give, built the slow way: one rectangle per
// qualifying pixel, united one by one.
QRegion pixelUnion(const QImage& img, int w, int h, const std::function<bool(QRgb)>& qualifies)
{
    QRegion r;
    for (int y = 0; y < std::min(h, img.height()); ++y)
        for (int x = 0; x < std::min(w, img.width()); ++x)
            if (qualifies(img.pixel(x, y)))
                r += QRect(x, y, 1, 1);
    return r;
}

bool sameRgb(QRgb a, QRgb b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); }

// QRegion's == compares rectangle lists, which differ with the order a region
// was built in; two regions hold the same pixels when nothing is in just one.
bool samePixels(const QRegion& a, const QRegion& b) { return (a ^ b).isEmpty(); }

// A picture of key-coloured and other pixels at random, with random alpha bytes,
// and a few same-colour runs so that rows repeat and bands form.
QImage randomPicture(int w, int h, quint32 seed)
{
    QRandomGenerator rng(seed);
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const bool copyRow = y > 0 && rng.bounded(3) == 0;
        for (int x = 0; x < w; ++x) {
            QRgb c;
            if (copyRow)
                c = img.pixel(x, y - 1);
            else if (rng.bounded(2))
                c = (kKey & 0xFFFFFF) | (rng.bounded(256) << 24);
            else
                c = 0xFF000000 | rng.bounded(0x1000000);
            img.setPixel(x, y, c);
        }
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

    // All key colour: nothing is left when the key is cut out, all of it when kept.
    EXPECT_FALSE(CreateRegionFromPicture(img, 20, 10, kKeyColor, mmExclude));
    const auto all = CreateRegionFromPicture(img, 20, 10, kKeyColor, mmInclude);
    ASSERT_TRUE(all);
    EXPECT_TRUE(samePixels(*all, QRegion(0, 0, 20, 10)));
}

TEST(CreateRegionFromPicture, AlternatingRowGivesOnePixelRectangles)
{
    QImage img(9, 1, QImage::Format_RGB32);
    for (int x = 0; x < 9; ++x)
        img.setPixel(x, 0, x % 2 ? kKey : 0xFFFFFFFF);
    const auto holes = CreateRegionFromPicture(img, 9, 1, kKeyColor, mmExclude);
    ASSERT_TRUE(holes);
    EXPECT_EQ(holes->rectCount(), 5);
    const auto keys = CreateRegionFromPicture(img, 9, 1, kKeyColor, mmInclude);
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->rectCount(), 4);
    for (const QRect& r : *keys) {
        EXPECT_EQ(r.size(), QSize(1, 1));
        EXPECT_EQ(r.x() % 2, 1);
    }
}

TEST(CreateRegionFromPicture, MatchesPixelModelInBothModes)
{
    for (quint32 seed = 1; seed <= 6; ++seed) {
        const QImage img = randomPicture(47, 33, seed);
        const auto ex = CreateRegionFromPicture(img, 47, 33, kKeyColor, mmExclude);
        const auto in = CreateRegionFromPicture(img, 47, 33, kKeyColor, mmInclude);
        ASSERT_TRUE(ex && in) << seed;
        EXPECT_TRUE(samePixels(*ex, pixelUnion(img, 47, 33, [](QRgb c) { return !sameRgb(c, kKey); }))) << seed;
        EXPECT_TRUE(samePixels(*in, pixelUnion(img, 47, 33, [](QRgb c) { return sameRgb(c, kKey); }))) << seed;
        EXPECT_TRUE((*ex & *in).isEmpty());
        EXPECT_TRUE(samePixels(*ex + *in, QRegion(0, 0, 47, 33)));
    }
}

TEST(CreateRegionFromPicture, PictureAndAreaOfDifferentSizes)
{
    // Only the covered part counts, whichever is larger.
    QImage img(10, 6, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    EXPECT_TRUE(samePixels(*CreateRegionFromPicture(img, 30, 20, kKeyColor, mmExclude), QRegion(0, 0, 10, 6)));
    EXPECT_TRUE(samePixels(*CreateRegionFromPicture(img, 4, 3, kKeyColor, mmExclude), QRegion(0, 0, 4, 3)));
}

TEST(CreateRegionFromPicture, SystemColourKeyAndOtherFormats)
{
    const uint32_t rgb = ColorToRGB(clHighlight);
    const QRgb face = qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    const QRgb swapped = qRgb(GetBValue(rgb), GetGValue(rgb), GetRValue(rgb));
    ASSERT_NE(face, swapped);
    QImage img(4, 2, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    img.setPixel(1, 0, swapped);
    img.setPixel(2, 1, face);
    const auto r = CreateRegionFromPicture(img, 4, 2, clHighlight, mmInclude);
    ASSERT_TRUE(r);
    EXPECT_TRUE(samePixels(*r, QRegion(2, 1, 1, 1)));

    // An indexed picture is compared by its colours.
    QImage indexed = img.convertToFormat(QImage::Format_Indexed8);
    EXPECT_TRUE(samePixels(*CreateRegionFromPicture(indexed, 4, 2, clHighlight, mmInclude), QRegion(2, 1, 1, 1)));
}

TEST(CreateRegionFromBitmap, EmptyBitmapAndAllKeyBitmap)
{
    TluxBitmap empty;
    EXPECT_FALSE(CreateRegionFromBitmap(&empty, 0, 0));
    EXPECT_FALSE(CreateRegionFromBitmap(nullptr, 0, 0));

    TluxBitmap keys;
    keys.SetSize(8, 5);
    keys.Clear(luxTransparent);
    keys.SetPixel(3, 2, 0xAB7F007F); // the alpha byte does not matter
    const auto r = CreateRegionFromBitmap(&keys, 0, 0);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->isEmpty());
}

TEST(CreateRegionFromBitmap, RunsMovedByOffset)
{
    TluxBitmap bmp;
    bmp.SetSize(47, 33);
    const QImage img = randomPicture(47, 33, 99);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 47; ++x)
            bmp.SetPixel(x, y, sameRgb(img.pixel(x, y), kKey) ? luxTransparent : img.pixel(x, y));
    const auto r = CreateRegionFromBitmap(&bmp, -5, 12);
    ASSERT_TRUE(r);
    EXPECT_TRUE(samePixels(*r, pixelUnion(img, 47, 33, [](QRgb c) { return !sameRgb(c, kKey); }).translated(-5, 12)));
}

TEST(CreateRegionFromBitmap, BusyPictureBeyondFiveThousandRuns)
{
    // A 211 x 197 checkerboard: every other pixel is a run of its own.
    TluxBitmap bmp;
    bmp.SetSize(211, 197);
    int runs = 0;
    for (int y = 0; y < 197; ++y)
        for (int x = 0; x < 211; ++x) {
            const bool key = (x + y) % 2 == 0;
            bmp.SetPixel(x, y, key ? luxTransparent : luxBlue);
            runs += key ? 0 : 1;
        }
    ASSERT_GT(runs, 5001 * 3);
    const auto r = CreateRegionFromBitmap(&bmp, 3, 4);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rectCount(), runs);
    // Every run present once, at its place.
    std::vector<int> hits(211 * 197, 0);
    for (const QRect& piece : *r)
        for (int y = piece.top(); y <= piece.bottom(); ++y)
            for (int x = piece.left(); x <= piece.right(); ++x) {
                ASSERT_TRUE(QRect(3, 4, 211, 197).contains(x, y)) << x << "," << y;
                ++hits[(y - 4) * 211 + (x - 3)];
            }
    for (int y = 0; y < 197; ++y)
        for (int x = 0; x < 211; ++x)
            ASSERT_EQ(hits[y * 211 + x], (x + y) % 2) << x << "," << y;

    // The same from a picture, in both modes.
    QImage img;
    bmp.AssignTo(img);
    const auto fromPicture = CreateRegionFromPicture(img, 211, 197, clBlue, mmInclude);
    ASSERT_TRUE(fromPicture);
    EXPECT_TRUE(samePixels(*fromPicture, r->translated(-3, -4)));
}

} // namespace
