// The engine's slot rules, frame counts and progress under a clock the test controls, the busy
// flag, failures inside a frame, and a real transition in a running event loop.

#include "effects/engine/animationengine.h"
#include "tests/effects/engine/composetestsupport.h"
#include "effects/engine/luxtimer.h"
#include "effects/masks/randomgen.h"

#include "platform/arith.h"
#include "platform/canvas.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>

using namespace composetest;

namespace {

// The test's clock, in nanoseconds; it moves only when a test moves it.
int64_t now = 0;
int64_t readNow()
{
    return now;
}
int64_t perSecond()
{
    return 1000000000;
}

// Frame hooks run inside the test effect's generator, i.e. while a frame is composed.
int64_t drawingNanoseconds = 0;
std::function<void()> duringFrame;

void recordingFade(uint8_t* m, int w, int h, uint8_t P)
{
    lastCall.progress.push_back(P);
    now += drawingNanoseconds;
    if (duringFrame) {
        auto hook = std::move(duringFrame);
        duringFrame = nullptr;
        hook();
    }
    std::fill(m, m + size_t(w) * h, uint8_t(MulDiv(255, P, 100)));
}

class Engine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerTestEffects();
        if (!ProcList->GetProcs(QStringLiteral("TestRecording")))
            RegisterProc(QStringLiteral("TestRecording"), pkFade, toProc(recordingFade));
        previous = setLuxCounterSource(LuxCounterSource{readNow, perSecond});
        now = 0;
        drawingNanoseconds = 0;
        lastCall = {};
        StartAnimationEngine();
        resetAnimationSlots();
        fill(source, 6, 4, oldColour);
        fill(dest, 6, 4, newColour);
        screen = QImage(6, 4, QImage::Format_ARGB32);
        screen.fill(0);
        settings.Effect = QStringLiteral("TestRecording");
    }
    void TearDown() override
    {
        resetAnimationSlots();
        setLuxCounterSource(previous);
    }

    int start(int index = -1) { return StartMultiAnimation(&canvas, 0, 0, &source, &dest, &settings, index); }

    // Ticks until the slot stops (at most `limit` ticks); returns the number of ticks.
    int runToEnd(int index, int limit = 1000)
    {
        int ticks = 0;
        while (IsAnimating(index) && ticks < limit) {
            MultiObject->OnTimer();
            ++ticks;
        }
        return ticks;
    }

    LuxCounterSource previous;
    TluxBitmap source, dest;
    TluxAnimationRec settings;
    QImage screen;
    DeviceContext dc{&screen};
    TCanvas canvas{&dc};
};

} // namespace

TEST_F(Engine, TwoHundredOneSlotsThenNoMore)
{
    for (int i = 0; i < luxAnimationSlots; ++i) {
        ASSERT_EQ(start(), i);
        ASSERT_TRUE(IsAnimating(i));
    }
    EXPECT_EQ(start(), -1);
    EXPECT_FALSE(IsAnimating(-1));
    EXPECT_EQ(ReserveIndex(), -1);
    StopMultiAnimation(7, false);
    EXPECT_EQ(start(), 7);
}

TEST_F(Engine, ReservedSlotsAreSkippedUntilReleased)
{
    EXPECT_EQ(ReserveIndex(), 0);
    EXPECT_EQ(ReserveIndex(), 1);
    EXPECT_EQ(start(), 2);
    EXPECT_EQ(start(1), 1); // the holder of a reservation starts in it
    EXPECT_TRUE(animationSlot(1).reserved);
    ReleaseReserved(0);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(start(2), -1); // an active slot cannot be started again
    EXPECT_EQ(start(luxAnimationSlots), -1);
}

TEST_F(Engine, NothingToAnimateLeavesTheSlotInactive)
{
    TluxBitmap empty;
    EXPECT_EQ(StartMultiAnimation(&canvas, 0, 0, &empty, &dest, &settings, -1), 0);
    EXPECT_EQ(StartMultiAnimation(&canvas, 0, 0, &source, nullptr, &settings, -1), 0);
    EXPECT_EQ(StartMultiAnimation(&canvas, 0, 0, &source, &dest, nullptr, -1), 0);
    settings.Effect = QStringLiteral("No such effect");
    EXPECT_EQ(start(), 0);
    EXPECT_FALSE(IsAnimating(0));
    EXPECT_FALSE(EngineTimer->isActive());
    EXPECT_FALSE(ExecuteAnimation(&canvas, 0, 0, &source, &dest, &settings)); // returns at once
    EXPECT_EQ(screen.pixel(0, 0), 0u); // nothing drawn
}

TEST_F(Engine, InstantDrawingGivesTwentyFramesFor400ms)
{
    const int index = start();
    EXPECT_TRUE(EngineTimer->isActive());
    EXPECT_EQ(runToEnd(index), 20);
    std::vector<int> expected;
    for (int P = 5; P <= 100; P += 5)
        expected.push_back(P);
    EXPECT_EQ(lastCall.progress, expected);
    EXPECT_FALSE(IsAnimating(index));
    EXPECT_FALSE(EngineTimer->isActive());
    EXPECT_EQ(animationSlot(index).work, nullptr);
    EXPECT_EQ(QColor(screen.pixel(0, 0)).rgb(), QColor(QRgb(newColour)).rgb()); // last frame: P = 100
}

TEST_F(Engine, DrawingTimeMakesProgressStepsLarger)
{
    drawingNanoseconds = 30'000'000; // each frame takes 30 ms: the clock gains 50 ms a tick
    EXPECT_EQ(runToEnd(start()), 9);
    EXPECT_EQ(lastCall.progress, (std::vector<int>{5, 18, 30, 43, 55, 68, 80, 93, 100}));
}

TEST_F(Engine, LongTimeStartsAtProgressZero)
{
    settings.SetTime(9000);
    const int index = start();
    MultiObject->OnTimer();
    MultiObject->OnTimer();
    EXPECT_EQ(lastCall.progress, (std::vector<int>{0, 0}));
    EXPECT_FLOAT_EQ(animationSlot(index).clock, 40.01f);
}

TEST_F(Engine, BusySlotSkipsItsFrameButItsClockRuns)
{
    const int index = start();
    duringFrame = [] { MultiObject->OnTimer(); }; // a tick arrives while the first frame is composed
    MultiObject->OnTimer();
    MultiObject->OnTimer();
    EXPECT_EQ(lastCall.progress, (std::vector<int>{5, 15})); // 20.01 + 20 (skipped) + 20 = 60.01
    EXPECT_TRUE(IsAnimating(index));
}

TEST_F(Engine, FailingFrameClearsBusyAndIsTriedAgain)
{
    const int index = start();
    duringFrame = [] { throw std::runtime_error("out of memory"); };
    EXPECT_THROW(MultiObject->OnTimer(), std::runtime_error);
    EXPECT_FALSE(animationSlot(index).busy);
    EXPECT_TRUE(IsAnimating(index));
    MultiObject->OnTimer();
    EXPECT_EQ(lastCall.progress, (std::vector<int>{5, 10}));
}

TEST_F(Engine, OnePixelSourceAnimatesOnATwoByTwoGrid)
{
    fill(source, 1, 1, oldColour);
    const int index = start();
    EXPECT_EQ(animationSlot(index).columns, 2);
    EXPECT_EQ(animationSlot(index).rows, 2);
    EXPECT_EQ(runToEnd(index), 20);
}

TEST_F(Engine, StopWithDrawShowsTheFrameOnceMoreAndFreesTheSlot)
{
    const int index = start();
    MultiObject->OnTimer(); // P = 5
    screen.fill(0);
    StopMultiAnimation(index, true);
    EXPECT_NE(screen.pixel(0, 0), 0u);
    EXPECT_FALSE(IsAnimating(index));
    EXPECT_EQ(animationSlot(index).mask, nullptr);
    EXPECT_FALSE(EngineTimer->isActive());
    StopMultiAnimation(-1, true); // ignored
    StopMultiAnimation(index, true);
}

TEST_F(Engine, RandomSelectionPicksAnEffectAtEveryStart)
{
    settings.Effect = QString::fromLatin1(luxRandomEffectName);
    RandSeed = 12345;
    std::set<const TluxProcItem*> picked;
    for (int i = 0; i < 8; ++i) {
        const int index = start();
        ASSERT_TRUE(IsAnimating(index));
        picked.insert(animationSlot(index).effect);
        StopMultiAnimation(index, false);
    }
    EXPECT_GT(picked.size(), 1u);
}

TEST_F(Engine, ExecuteAnimationPlaysInTheEventLoop)
{
    setLuxCounterSource(luxSteadyCounter());
    settings.Effect = QStringLiteral("Fade");
    settings.SetTime(60);
    int ticksSeen = 0;
    QTimer observer; // other timers keep ticking during the transition
    QObject::connect(&observer, &QTimer::timeout, [&] { ++ticksSeen; });
    observer.start(1);
    EXPECT_FALSE(ExecuteAnimation(&canvas, 0, 0, &source, &dest, &settings));
    EXPECT_FALSE(EngineTimer->isActive());
    EXPECT_GT(ticksSeen, 0);
    EXPECT_EQ(QColor(screen.pixel(5, 3)).rgb(), QColor(QRgb(newColour)).rgb());
}
