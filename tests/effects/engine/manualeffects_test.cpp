#include "effects/engine/luxanimationrec.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/engine/manualeffects.h"
#include "effects/bitmap/rasterprimitives.h"

#include <gtest/gtest.h>

namespace {

// 10 x 4 old picture whose pixels encode their own column, and an opaque new picture.
void makePictures(TluxBitmap& work, TluxBitmap& dest)
{
    initRasterPrimitives();
    work.SetSize(10, 4);
    dest.SetSize(10, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x) {
            work.SetPixel(x, y, 0xFF000000u | uint32_t(x * 10 + y));
            dest.SetPixel(x, y, 0xFF800000u | uint32_t(x * 10 + y));
        }
}

} // namespace

TEST(ManualEffects, PlacementFollowsTheRotation)
{
    const ManualPlacement none = manualPlacement(krNone, 10, 4, 30);
    EXPECT_EQ(none.destX, 3 - 10);
    EXPECT_EQ(none.shiftX, 3);
    const ManualPlacement up = manualPlacement(krRotate90, 10, 4, 50);
    EXPECT_EQ(up.destY, 4 - 2);
    EXPECT_EQ(up.shiftY, -2);
    const ManualPlacement left = manualPlacement(krRotate180, 10, 4, 25); // MulDiv(10, 25, 100) = 3
    EXPECT_EQ(left.destX, 7);
    EXPECT_EQ(left.shiftX, -3);
    const ManualPlacement down = manualPlacement(krRotate270, 10, 4, 75);
    EXPECT_EQ(down.destY, 3 - 4);
    EXPECT_EQ(down.shiftY, 3);
    EXPECT_EQ(manualPlacement(krNone, 10, 4, 100).destX, 0);
    EXPECT_EQ(manualPlacement(krRotate90, 10, 4, 0).destY, 4);
}

TEST(ManualEffects, SlideDrawsTheNewPictureEnteringFromTheLeft)
{
    TluxBitmap work, dest;
    makePictures(work, dest);
    TluxAnimationRec settings;
    slideEffect(&work, &dest, &settings, 30); // d = 3: new columns 7..9 at 0..2
    EXPECT_TRUE(dest.AlphaBlend);
    for (int x = 0; x < 10; ++x) {
        const TluxColor want = x < 3 ? 0xFF800000u | uint32_t((x + 7) * 10 + 1) : 0xFF000000u | uint32_t(x * 10 + 1);
        EXPECT_EQ(work.GetPixel(x, 1), want) << x;
    }
}

TEST(ManualEffects, PushMovesTheOldPictureOutAsTheNewOneEnters)
{
    TluxBitmap work, dest;
    makePictures(work, dest);
    TluxAnimationRec settings;
    settings.Rotation = krRotate180; // enters from the right, old picture moves left
    pushEffect(&work, &dest, &settings, 40); // d = 4
    for (int x = 0; x < 10; ++x) {
        const TluxColor want = x < 6 ? 0xFF000000u | uint32_t((x + 4) * 10 + 2) : 0xFF800000u | uint32_t((x - 6) * 10 + 2);
        EXPECT_EQ(work.GetPixel(x, 2), want) << x;
    }
}

TEST(AnimationSettings, SettersClampAndAssignCopiesAsIs)
{
    TluxAnimationRec a;
    EXPECT_EQ(a.Time, 400);
    EXPECT_EQ(a.Effect, QStringLiteral("[ RANDOM ] - Random selection"));
    a.SetResolution(11);
    a.SetTileCount(0);
    a.SetTime(10);
    EXPECT_EQ(a.Resolution, 10);
    EXPECT_EQ(a.TileCount, 1);
    EXPECT_EQ(a.Time, 50);
    a.SetTime(20000);
    EXPECT_EQ(a.Time, 9000);
    EXPECT_TRUE(a.isStored(QStringLiteral("Time")));
    EXPECT_FALSE(a.isStored(QStringLiteral("TileCount")));
    a.Time = 5; // out of range on purpose: Assign does not check
    a.Rotation = krRotate270;
    TluxAnimationRec b;
    b.Assign(&a);
    EXPECT_EQ(b.Time, 5);
    EXPECT_EQ(b.Resolution, 10);
    EXPECT_EQ(b.Rotation, krRotate270);
}
