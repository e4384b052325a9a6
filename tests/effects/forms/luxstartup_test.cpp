// Start-up and shut-down of the transition effects as a whole, in one process
// as the program runs them: nothing is set up before, everything after, and
// shut-down takes it all away again.

#include "effects/forms/luxstartup.h"

#include "effects/engine/animationengine.h"
#include "effects/forms/componentregistry.h"
#include "effects/forms/controlfreezer.h"
#include "effects/util/cpufeatures.h"
#include "effects/engine/effectregistry.h"
#include "effects/forms/grabberregistry.h"
#include "effects/bitmap/luxbitmap.h"
#include "effects/util/pixelformat.h"
#include "effects/util/platformhelpers.h"
#include "effects/bitmap/rasterprimitives.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>

TEST(LuxStartup, SetsUpEveryStepThenReleasesThemInReverse)
{
    // Before: no flags, no effects, no timer, no grabbers.
    ASSERT_FALSE(luxStarted());
    EXPECT_FALSE(IsWinNT());
    EXPECT_EQ(ProcList, nullptr);
    EXPECT_EQ(EffectList, nullptr);
    EXPECT_EQ(EngineTimer, nullptr);
    EXPECT_TRUE(RegisteredGrabbers().empty());

    luxStartup();
    ASSERT_TRUE(luxStarted());
    EXPECT_TRUE(IsWinNT()) << "platform helpers";
    EXPECT_EQ(CPixelFormat, pf32bit) << "drawing utilities: a 24-bit X screen keeps 32 bits per pixel";
    EXPECT_EQ(currentSimdLevel(), bestSimdLevel()) << "raster primitive slots";
    ASSERT_NE(EngineTimer, nullptr);
    EXPECT_EQ(EngineTimer->interval(), 20);
    EXPECT_FALSE(EngineTimer->isActive()) << "the engine's timer runs only during a transition";
    ASSERT_NE(ProcList, nullptr);
    EXPECT_EQ(ProcList->Count(), 58);
    ASSERT_NE(EffectList, nullptr);
    EXPECT_EQ(EffectList->size(), 60) << "the two pseudo names and the 58 effects";
    EXPECT_EQ(EffectList->first(), luxRandomEffectName);
    EXPECT_EQ(RegisteredGrabbers().size(), 7u);
    EXPECT_EQ(FrozenControlCount(), 0);
    EXPECT_TRUE(RegisteredComponentClasses().contains("TluxAnimationForm")) << "classes of component streams";

    // A second start changes nothing.
    const TluxProcList* effects = ProcList;
    luxStartup();
    EXPECT_EQ(ProcList, effects);
    EXPECT_EQ(RegisteredGrabbers().size(), 7u);

    // Shut-down also takes down a lock window still up.
    QWidget form;
    form.setGeometry(40, 40, 120, 80);
    form.show();
    TluxBitmap picture;
    picture.SetSize(120, 80);
    ASSERT_NE(FreezeControlProc(&form, TRect{0, 0, 120, 80}, &picture), nullptr);
    ASSERT_EQ(FrozenControlCount(), 1);

    luxShutdown();
    EXPECT_FALSE(luxStarted());
    EXPECT_EQ(FrozenControlCount(), 0);
    EXPECT_EQ(ProcList, nullptr);
    EXPECT_EQ(EffectList, nullptr);
    EXPECT_EQ(EngineTimer, nullptr);
    EXPECT_TRUE(RegisteredGrabbers().empty());
    EXPECT_TRUE(RegisteredComponentClasses().isEmpty());

    // Once per process: no second start after the shut-down.
    luxStartup();
    EXPECT_FALSE(luxStarted());
    EXPECT_EQ(ProcList, nullptr);
}
