#include "effects/util/drawingutilities.h"

#include <gtest/gtest.h>

// One process, one start-up: the whole life cycle is one test.
TEST(DrawingUtilitiesStartup, MeasuresOnceAndOnlyOnce)
{
    EXPECT_EQ(CPixelFormat, pfCustom);
    EXPECT_EQ(CaptureCount, 0);

    startDrawingUtilities();
    EXPECT_NE(CPixelFormat, 0);
    const uint8_t measured = CPixelFormat;

    // A second start-up does not measure again.
    CPixelFormat = pf1bit;
    startDrawingUtilities();
    EXPECT_EQ(CPixelFormat, pf1bit);
    CPixelFormat = measured;
}
