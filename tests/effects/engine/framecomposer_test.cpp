// Frame composition on small pictures whose frames can be worked out by hand, and the one-pass
// fade composition against the separate passes over every fade effect.

#include "tests/effects/engine/composetestsupport.h"
#include "effects/bitmap/dispatch.h"
#include "effects/engine/builtineffects.h"
#include "effects/engine/framecomposer.h"
#include "effects/engine/manualeffects.h"
#include "effects/engine/seenpixels.h"
#include "effects/engine/stretchalpharect.h"
#include "effects/util/rowbands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <thread>

using namespace composetest;

namespace {

class Composition : public ::testing::Test
{
protected:
    void SetUp() override { registerTestEffects(); }

    // Prepares the slot and composes one frame as the engine does (work = copy of Source).
    void frame(const QString& effect, int P, int R = 1, int T = 1, TluxRotation rot = krNone)
    {
        configure(settings, effect, R, T, rot);
        ASSERT_TRUE(prepareAnimationSlot(slot, &source, &dest, &settings));
        copySourceToWork(slot);
        Compose(slot, P);
    }

    TluxColor workAt(int x, int y) const { return slot.work->GetPixel(x, y); }

    TluxBitmap source, dest;
    TluxAnimationRec settings;
    TluxAnimationSlot slot;
};

std::vector<uint8_t> alphaRow(const std::vector<TluxColor>& px)
{
    std::vector<uint8_t> a;
    for (TluxColor c : px)
        a.push_back(uint8_t(c >> 24));
    return a;
}

} // namespace

TEST(StretchAlphaRectTest, StepsTheMapInFixedPointAndKeepsColours)
{
    const uint8_t map[] = {10, 20, 30, 40, 50, 60};
    std::vector<TluxColor> px(7 * 4, 0x00ABCDEF);
    // 3 x 2 map into 7 x 4: xstep = 3 * 65536 / 7 = 28086, ystep = 32768.
    StretchAlphaRect(px.data(), 7, 4, 0, 0, 7, 4, 0, 0, 3, 2, map);
    EXPECT_EQ(alphaRow({px.begin(), px.begin() + 7}), (std::vector<uint8_t>{10, 10, 10, 20, 20, 30, 30}));
    EXPECT_EQ(alphaRow({px.begin() + 21, px.end()}), (std::vector<uint8_t>{40, 40, 40, 50, 50, 60, 60}));
    for (TluxColor c : px)
        EXPECT_EQ(c & 0x00FFFFFF, 0x00ABCDEFu);
}

TEST(StretchAlphaRectTest, ClippedStartUsesTheSmallerScale)
{
    // A 4-pixel span of a 2-byte map starting 2 pixels left of the area: the first visible
    // pixel starts at MulDiv(2 * 2, 65535, 4) = 65535, still in byte 0 (with 65536 it would be 1).
    const uint8_t map[] = {10, 20};
    std::vector<TluxColor> px(2, 0);
    StretchAlphaRect(px.data(), 2, 1, -2, 0, 4, 1, 0, 0, 2, 1, map);
    EXPECT_EQ(alphaRow(px), (std::vector<uint8_t>{10, 20}));
}

TEST(StretchAlphaRectTest, WritesNothingOutsideOrForEmptyRectangles)
{
    const uint8_t map[] = {99, 99, 99, 99};
    std::vector<TluxColor> px(3 * 3, 0);
    StretchAlphaRect(px.data(), 3, 3, 2, 2, 4, 4, 0, 0, 2, 2, map); // only pixel (2, 2)
    StretchAlphaRect(px.data(), 3, 3, 0, 0, 0, 3, 0, 0, 2, 2, map);  // no width
    StretchAlphaRect(px.data(), 3, 3, 5, 0, 2, 2, 0, 0, 2, 2, map);  // right of the area
    StretchAlphaRect(px.data(), 3, 3, 0, 0, 3, 3, 3, 3, 2, 2, map);  // map rectangle off the area
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(px[size_t(i)], i == 8 ? 0x63000000u : 0u) << i;
}

TEST_F(Composition, FadeShowsNewPictureWhereTheMaskIsSetAndKeyPixelsStayOld)
{
    fill(source, 4, 3, oldColour);
    fill(dest, 4, 3, newColour);
    dest.SetPixel(0, 0, luxTransparent | 0xFF000000u);
    frame("TestLeftHalf", 50); // grid 5 x 4: cells x < 2 are new
    EXPECT_EQ(lastCall.w, 5);
    EXPECT_EQ(lastCall.h, 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(workAt(x, y), (x < 2 && !(x == 0 && y == 0)) ? newColour : oldColour) << x << "," << y;
    EXPECT_EQ(alphaOf(dest), (std::vector<uint8_t>{0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0}));
    EXPECT_TRUE(dest.AlphaBlend);
}

TEST_F(Composition, TileCountRepeatsTheMaskAndClipsTheLastTile)
{
    fill(source, 6, 4, oldColour);
    fill(dest, 6, 4, newColour);
    frame("TestLeftHalf", 50, 1, 2); // grid 6/2+1 = 4 by 4/2+1 = 3; tiles of 4 x 3
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(workAt(x, y), (x % 4) < 2 ? newColour : oldColour) << x << "," << y;
}

TEST_F(Composition, ResolutionMakesEachCellASquareOfPixels)
{
    fill(source, 8, 4, oldColour);
    fill(dest, 8, 4, newColour);
    frame("TestSecondCell", 50, 4); // grid 3 x 2 of 4-pixel cells
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(workAt(x, y), x >= 4 ? newColour : oldColour) << x << "," << y;
}

TEST_F(Composition, RotationsTurnTheGeneratedMask)
{
    fill(source, 3, 2, oldColour); // grid 4 x 3
    fill(dest, 3, 2, newColour);
    const std::vector<uint8_t> expected[4] = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},  // as generated
        {2, 5, 8, 11, 1, 4, 7, 10, 0, 3, 6, 9},  // 90: generated 3 wide, 4 high
        {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},  // 180: upside down and mirrored
        {9, 6, 3, 0, 10, 7, 4, 1, 11, 8, 5, 2}}; // 270
    for (int rot = 0; rot < 4; ++rot) {
        frame("TestLinearIndex", 50, 1, 1, TluxRotation(rot));
        EXPECT_EQ(std::vector<uint8_t>(slot.mask.get(), slot.mask.get() + 12), expected[rot]) << "rotation " << rot;
        const bool turned = rot == krRotate90 || rot == krRotate270;
        EXPECT_EQ(lastCall.w, turned ? 3 : 4);
        EXPECT_EQ(lastCall.h, turned ? 4 : 3);
    }
}

TEST_F(Composition, BitmapAnimationTurnsBrightCellsFirst)
{
    fill(source, 3, 1, oldColour); // grid 4 x 2
    fill(dest, 3, 1, newColour);
    dest.SetPixel(2, 0, luxTransparent);
    QImage map(4, 2, QImage::Format_RGB32);
    const int blue[] = {0, 100, 200, 255};
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            map.setPixel(x, y, qRgb(7, 7, blue[x]));
    settings.SetBitmap(map);
    const auto maskAt = [&](int P) {
        frame(luxBitmapEffectName, P);
        return std::vector<uint8_t>(slot.mask.get(), slot.mask.get() + 4);
    };
    // mask = clamp(map + MulDiv(510, P, 100) - 255, 0, 255)
    EXPECT_EQ(maskAt(0), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(maskAt(25), (std::vector<uint8_t>{0, 0, 73, 128}));
    EXPECT_EQ(maskAt(50), (std::vector<uint8_t>{0, 100, 200, 255}));
    EXPECT_EQ(maskAt(100), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(workAt(0, 0), newColour);
    EXPECT_EQ(workAt(2, 0), oldColour); // key colour: see-through
}

TEST_F(Composition, SlideMovesCellsAndSharesBorderPixels)
{
    fill(source, 4, 2, oldColour); // grid 5 x 3
    dest.SetSize(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            dest.SetPixel(x, y, 0xFF000000u | TluxColor(x << 8) | TluxColor(y));
    dest.SetPixel(2, 1, luxTransparent | 0xFF000000u); // copied: slides show key pixels
    dest.SetPixel(3, 0, 0x00000300);                    // alpha 0: never copied
    const std::vector<TluxColor> before(dest.Bits, dest.Bits + 8);
    frame("TestShiftLeft", 50);
    EXPECT_EQ(workAt(0, 0), oldColour); // only cell (0, 0) covers it, and its alpha is 0
    EXPECT_EQ(workAt(1, 0), dest.GetPixel(2, 0));
    EXPECT_EQ(workAt(0, 1), dest.GetPixel(1, 1)); // from cell (0, 1), which shares the border row
    EXPECT_EQ(workAt(1, 1), luxTransparent | 0xFF000000u);
    EXPECT_EQ(workAt(2, 0), oldColour); // its source pixel has alpha 0
    EXPECT_EQ(workAt(3, 0), oldColour); // its source lies outside Dest
    EXPECT_EQ(workAt(3, 1), oldColour);
    EXPECT_EQ(std::vector<TluxColor>(dest.Bits, dest.Bits + 8), before); // Dest unchanged
}

// The slide kind cell by cell, in the order the rule gives: for each tile, row and column, the
// cell's pixels i*R .. (i+1)*R (shared with its neighbours) take the moved Dest pixel where it
// has alpha, copied at cell alpha 255 and blended otherwise.
std::vector<TluxColor> slideModel(const TluxBitmap& source, const TluxBitmap& dest, const TluxAnimationRec& s,
                                  int columns, int rows, int P)
{
    const TluxRotation rot = s.Rotation;
    const bool turned = rot == krRotate90 || rot == krRotate270;
    const int gw = turned ? rows : columns, gh = turned ? columns : rows;
    std::vector<TluxCell> cells(size_t(columns) * rows, TluxCell{});
    ProcList->GetProcs(s.Effect)->slideProc()(cells.data(), gw, gh, uint8_t(P));
    std::vector<TluxColor> out(source.Bits, source.Bits + size_t(source.Width) * source.Height);
    const int R = s.Resolution, T = s.TileCount;
    const int tw = source.Width / T, th = source.Height / T;
    for (int h = 0; h < T; ++h)
        for (int o = 0; o < T; ++o) {
            const int gx = (tw + 1) * h, gy = (th + 1) * o;
            for (int j = 0; j < rows; ++j)
                for (int i = 0; i < columns; ++i) {
                    TluxCell c;
                    int sx, sy;
                    switch (rot) {
                    case krRotate90: c = cells[j + size_t(gw) * (columns - 1 - i)]; sx = columns - 1 - c.SourceY; sy = c.SourceX; break;
                    case krRotate180: c = cells[(columns - 1 - i) + size_t(gw) * (rows - 1 - j)]; sx = columns - 1 - c.SourceX; sy = rows - 1 - c.SourceY; break;
                    case krRotate270: c = cells[(rows - 1 - j) + size_t(gw) * i]; sx = c.SourceY; sy = rows - 1 - c.SourceX; break;
                    default: c = cells[i + size_t(gw) * j]; sx = c.SourceX; sy = c.SourceY; break;
                    }
                    if (c.Alpha == 0)
                        continue;
                    for (int py = j * R; py <= (j + 1) * R; ++py)
                        for (int px = i * R; px <= (i + 1) * R; ++px) {
                            const int tx = gx + px, ty = gy + py;
                            const int fx = gx + (sx - i) * R + px, fy = gy + (sy - j) * R + py;
                            if (tx < 0 || ty < 0 || tx >= source.Width || ty >= source.Height)
                                continue;
                            // Moved pixels come from the tile (up to the next tile's origin) and from Dest.
                            if (fx < std::max(gx, 0) || fx > std::min(gx + tw + 1, dest.Width - 1) ||
                                fy < std::max(gy, 0) || fy > std::min(gy + th + 1, dest.Height - 1))
                                continue;
                            const TluxColor p = dest.Bits[size_t(fy) * dest.Width + fx];
                            if ((p >> 24) == 0)
                                continue;
                            TluxColor& t = out[size_t(ty) * source.Width + tx];
                            t = c.Alpha == 255 ? p : PixelAlphaBlendFunc((p & 0x00FFFFFFu) | (TluxColor(c.Alpha) << 24), t);
                        }
                }
        }
    return out;
}

TEST_F(Composition, SlideFramesMatchTheCellByCellRule)
{
    QStringList effects{QStringLiteral("TestMixedRuns")};
    for (const TluxProcItem* item : registeredEffects())
        if (item->Kind == pkSlide && item->Name != QLatin1String("TestShiftLeft"))
            effects << item->Name;
    struct Case {
        int R, T;
        TluxRotation rot;
        int dw, dh;
    };
    // Interlace and Corner make their cell rows one at a time without rotation and turned by
    // 180 degrees: rows shared by Resolution pixel rows and by the tiles, odd sizes.
    const Case cases[] = {{1, 1, krNone, 37, 23},     {1, 1, krRotate90, 41, 20},  {2, 1, krRotate180, 37, 23},
                          {3, 2, krRotate270, 30, 27}, {1, 3, krNone, 37, 23},     {3, 1, krNone, 37, 23},
                          {1, 2, krNone, 41, 20},      {3, 2, krNone, 30, 27},     {1, 1, krRotate180, 41, 20},
                          {3, 1, krRotate180, 37, 23}, {1, 2, krRotate180, 37, 23}, {3, 2, krRotate180, 30, 27}};
    for (const QString& effect : effects)
        for (const Case& c : cases) {
            randomPicture(source, 37, 23, 5);
            randomPicture(dest, c.dw, c.dh, 6);
            for (int i = 0; i < c.dw * c.dh; i += 7)
                dest.Bits[i] &= 0x00FFFFFFu; // see-through pixels are never moved
            configure(settings, effect, c.R, c.T, c.rot);
            ASSERT_TRUE(prepareAnimationSlot(slot, &source, &dest, &settings));
            for (int P : {1, 13, 30, 50, 77, 99, 100}) {
                copySourceToWork(slot);
                Compose(slot, P);
                const std::vector<TluxColor> want = slideModel(source, dest, settings, slot.columns, slot.rows, P);
                ASSERT_EQ(std::vector<TluxColor>(slot.work->Bits, slot.work->Bits + 37 * 23), want)
                    << effect.toStdString() << " R" << c.R << " T" << c.T << " rot" << int(c.rot) << " P" << P;
            }
        }
}

// A moved run's pixels are copied where they have alpha, in every instruction set alike; also
// two runs over one row in one pass.
TEST(SlidePixels, VectorCopiesOfSeenPixelsEqualThePixelByPixelCopy)
{
    std::vector<SimdLevel> levels{SimdLevel::Sse2};
    if (bestSimdLevel() == SimdLevel::Avx2)
        levels.push_back(SimdLevel::Avx2);
    std::mt19937 rng(9);
    std::vector<TluxColor> in(141), old(141);
    for (TluxColor& p : in)
        p = rng() & (rng() % 3 == 0 ? 0x00FFFFFFu : 0xFFFFFFFFu); // a third without alpha
    for (TluxColor& p : old)
        p = rng();
    // The pair: a second row over a first, as two copies one after the other.
    const TluxColor* second = in.data() + 1;
    for (const SimdLevel level : levels)
        for (int n : {0, 1, 3, 4, 7, 8, 9, 17, 31, 100, 137})
            for (int offset : {0, 1, 3}) {
                std::vector<TluxColor> want = old, got = old, wantTwice;
                ASSERT_TRUE(rebuildDispatch(SimdLevel::Scalar));
                seenpixels::copySeen(in.data() + offset, want.data() + 2, n);
                wantTwice = want;
                seenpixels::copySeen(second, wantTwice.data() + 2, n);
                ASSERT_TRUE(rebuildDispatch(level));
                seenpixels::copySeen(in.data() + offset, got.data() + 2, n);
                ASSERT_EQ(got, want) << int(level) << " n " << n << " offset " << offset;
                got = old;
                seenpixels::copySeenTwice(in.data() + offset, second, got.data() + 2, n);
                ASSERT_EQ(got, wantTwice) << "twice " << int(level) << " n " << n << " offset " << offset;
            }
    rebuildDispatch(bestSimdLevel());
}

TEST_F(Composition, ManualKindClearsKeyPixelsSoTheOldPictureShows)
{
    fill(source, 5, 3, oldColour);
    fill(dest, 5, 3, newColour);
    dest.SetPixel(1, 1, luxTransparent | 0xFF000000u);
    ASSERT_EQ(manualPlacement(krNone, 5, 3, 100).destX, 0);
    frame("Slide", 100);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(workAt(x, y), (x == 1 && y == 1) ? oldColour : newColour);
}

TEST_F(Composition, PicturesOfDifferentSizesStayInsideBothBitmaps)
{
    // Runs every effect of every kind with a smaller and a larger Dest (the sanitizer build
    // catches writes outside); the part of the frame Dest does not cover keeps the old picture.
    randomPicture(source, 23, 17, 1);
    for (const TluxProcItem* item : registeredEffects()) {
        for (const auto& [w, h] : {std::pair{9, 30}, std::pair{40, 5}}) {
            randomPicture(dest, w, h, 2);
            for (int P : {0, 50, 100}) {
                frame(item->Name, P, 3, 2, krRotate90);
                if (item->Kind == pkFade) {
                    for (int y = 0; y < 17; ++y)
                        for (int x = 0; x < 23; ++x)
                            if (x >= w || y >= h) {
                                ASSERT_EQ(workAt(x, y), source.GetPixel(x, y));
                            }
                }
            }
        }
    }
}

// The frame the engine draws (one pass for the fade kinds, the shifted copy for "Push", the copy
// of Source band by band for the slide kind).
TEST_F(Composition, FramesGiveTheBytesOfTheSeparatePasses)
{
    ASSERT_TRUE(luxcompose::onePassAvailable());
    QImage map(7, 5, QImage::Format_RGB32);
    for (int i = 0; i < 35; ++i)
        map.setPixel(i % 7, i / 7, qRgb(0, 0, (i * 37) % 256));
    struct Case {
        int R, T;
        TluxRotation rot;
        int dw, dh;
    };
    const Case cases[] = {{1, 1, krNone, 37, 23}, {1, 1, krRotate90, 37, 23}, {3, 2, krRotate180, 37, 23},
                          {2, 3, krRotate270, 30, 27}, {4, 1, krNone, 41, 19}, {1, 20, krNone, 37, 23}};
    QStringList effects{QString::fromLatin1(luxBitmapEffectName)};
    for (const TluxProcItem* item : registeredEffects())
        if (item->Kind == pkFade)
            effects << item->Name;
    const QStringList copyFirst{QStringLiteral("Push"), QStringLiteral("Interlace"), QStringLiteral("Corner"),
                                QStringLiteral("TestMixedRuns")};
    effects << copyFirst;
    TluxBitmap oneDest;
    TluxAnimationSlot oneSlot;
    // Every blend and instruction set the raster slots can hold.
    for (const auto& [kind, level] : {std::pair{BlendKind::Packed, SimdLevel::Avx2}, std::pair{BlendKind::Plain, SimdLevel::Avx2},
                                      std::pair{BlendKind::Packed, SimdLevel::Sse2}, std::pair{BlendKind::Plain, SimdLevel::Scalar}}) {
    if (!selectRasterPath(kind, level))
        continue;
    for (const QString& effect : effects) {
        for (const Case& c : cases) {
            randomPicture(source, 37, 23, 3);
            randomPicture(dest, c.dw, c.dh, 4);
            randomPicture(oneDest, c.dw, c.dh, 4);
            configure(settings, effect, c.R, c.T, c.rot);
            settings.SetBitmap(map);
            ASSERT_TRUE(prepareAnimationSlot(slot, &source, &dest, &settings));
            ASSERT_TRUE(prepareAnimationSlot(oneSlot, &source, &oneDest, &settings));
            for (int P = 0; P <= 100; P += 9) {
                copySourceToWork(slot);
                Compose(slot, P);
                composeFrame(oneSlot, P);
                ASSERT_TRUE(oneSlot.destAlphaPending || copyFirst.contains(effect)) << "the one-pass path ran";
                ASSERT_EQ(0, std::memcmp(slot.work->Bits, oneSlot.work->Bits, 37 * 23 * 4))
                    << int(kind) << "/" << int(level) << " " << effect.toStdString() << " R" << c.R << " T" << c.T << " rot" << int(c.rot) << " P" << P;
            }
            settleDestAlpha(oneSlot);
            ASSERT_EQ(0, std::memcmp(dest.Bits, oneDest.Bits, size_t(c.dw) * c.dh * 4)) << effect.toStdString();
        }
    }
    }
    initRasterPrimitives();
}

// The effects whose masks are made a row at a time: the rows hold the bytes the procedure draws,
// also on grids where some cells are reached by shapes with gaps between them.
TEST(MaskRows, GiveTheBytesTheProcedureDraws)
{
    const std::pair<int, int> grids[] = {{97, 61}, {61, 97}, {161, 121}};
    int served = 0;
    for (const BuiltinEffect& e : builtinEffects()) {
        if (!e.MaskRows)
            continue;
        for (const auto& [W, H] : grids) {
            for (int P : {0, 1, 37, 64, 99, 100}) {
                std::vector<uint8_t> drawn(size_t(W) * H), row(static_cast<size_t>(W));
                reinterpret_cast<TluxFadeProc>(e.Proc)(drawn.data(), W, H, uint8_t(P));
                MaskRowPlan plan;
                ASSERT_TRUE(e.MaskRows(plan, W, H, uint8_t(P))) << e.Name;
                for (int y = 0; y < H; ++y) {
                    plan.row(row.data(), y);
                    ASSERT_EQ(0, std::memcmp(row.data(), drawn.data() + size_t(y) * W, size_t(W)))
                        << e.Name << " " << W << "x" << H << " P" << P << " row " << y;
                }
            }
        }
        ++served;
    }
    EXPECT_EQ(served, 34); // the recorded shapes, the circles, "Fade", "Plasma" and the pixel family
}

TEST_F(Composition, RowBandsGiveTheBytesOfOneBand)
{
    struct Case {
        int w, h, R, T;
        TluxRotation rot;
    };
    const Case cases[] = {{97, 131, 1, 1, krNone}, {131, 97, 3, 2, krRotate90}, {65, 203, 2, 3, krRotate180}};
    QStringList effects{QString::fromLatin1(luxBitmapEffectName)};
    for (const TluxProcItem* item : registeredEffects())
        effects << item->Name;
    TluxBitmap bandedDest;
    TluxAnimationSlot banded;
    for (const QString& effect : effects) {
        for (const Case& c : cases) {
            randomPicture(source, c.w, c.h, 5);
            randomPicture(dest, c.w, c.h, 6);
            randomPicture(bandedDest, c.w, c.h, 6);
            configure(settings, effect, c.R, c.T, c.rot);
            ASSERT_TRUE(prepareAnimationSlot(slot, &source, &dest, &settings));
            ASSERT_TRUE(prepareAnimationSlot(banded, &source, &bandedDest, &settings));
            for (int P : {0, 37, 100}) {
                composeFrame(slot, P);
                startRowBands(3); // three bands of uneven height
                composeFrame(banded, P);
                // The frame drawn onto a screen image, in bands too.
                QImage screen(c.w, c.h, QImage::Format_ARGB32);
                screen.fill(0);
                {
                    DeviceContext dc(&screen);
                    TCanvas canvas(&dc);
                    banded.work->Draw(&canvas, 0, 0);
                }
                stopRowBands();
                ASSERT_EQ(0, std::memcmp(slot.work->Bits, banded.work->Bits, size_t(c.w) * c.h * 4))
                    << effect.toStdString() << " " << c.w << "x" << c.h << " P" << P;
                ASSERT_EQ(0, std::memcmp(slot.work->Bits, screen.constBits(), size_t(c.w) * c.h * 4))
                    << effect.toStdString() << " drawn, P" << P;
            }
            settleDestAlpha(slot);
            settleDestAlpha(banded);
            ASSERT_EQ(0, std::memcmp(dest.Bits, bandedDest.Bits, size_t(c.w) * c.h * 4)) << effect.toStdString();
        }
    }
}

TEST(RowBands, ServeOneCallerAtATimeAndEveryRowOnce)
{
    // Two threads ask for bands at once: each gets every one of its rows exactly once, whether
    // the pool or the caller itself runs them.
    startRowBands(3);
    std::vector<std::atomic<int>> seen[2] = {std::vector<std::atomic<int>>(997), std::vector<std::atomic<int>>(997)};
    const auto ask = [&](int who) {
        for (int round = 0; round < 3000; ++round)
            runInRowBands(997, [&](int, int begin, int end) {
                for (int y = begin; y < end; ++y)
                    seen[who][size_t(y)].fetch_add(1);
            });
    };
    std::thread other(ask, 1);
    ask(0);
    other.join();
    stopRowBands();
    for (const auto& rows : seen)
        for (const std::atomic<int>& count : rows)
            ASSERT_EQ(count.load(), 3000);
}
