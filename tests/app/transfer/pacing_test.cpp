// Pacing of Timer1: the schedule driven by an invented clock, and the real
// timer ticking on inside a nested event loop (counted, not timed).

#include "app/transfer/pacedtimer.h"
#include "app/transfer/pacingschedule.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <gtest/gtest.h>
#include <random>

using namespace std::chrono_literals;

namespace {

// Runs a schedule with a 10 ms interval on an invented clock: each tick starts
// at its planned time plus the lateness `late(k)` of tick k. The tick start times.
template <typename Lateness>
std::vector<std::chrono::nanoseconds> simulate(int ticks, Lateness late)
{
    PacingSchedule schedule;
    schedule.start(0ns, 10ms);
    std::vector<std::chrono::nanoseconds> starts;
    for (int k = 0; k < ticks; ++k) {
        const std::chrono::nanoseconds now = schedule.nextTick() + late(k);
        schedule.tickStarted(now);
        starts.push_back(now);
    }
    return starts;
}

} // namespace

TEST(PacingSchedule, LateTicksDoNotPushBackTheOnesAfterThem)
{
    const auto onTime = simulate(5, [](int) { return 0ns; });
    EXPECT_EQ(onTime, (std::vector<std::chrono::nanoseconds> {10ms, 20ms, 30ms, 40ms, 50ms}));

    // Tick 1 is 3 ms late, tick 2 is 8 ms late: the others stay on the grid.
    const auto late = simulate(5, [](int k) { return k == 1 ? 3ms : k == 2 ? 8ms : 0ms; });
    EXPECT_EQ(late, (std::vector<std::chrono::nanoseconds> {10ms, 23ms, 38ms, 43ms, 50ms}));
}

TEST(PacingSchedule, ErrorsDoNotAddUpAndGapsStayAtLeastHalfTheInterval)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> jitterUs(0, 9000);
    const auto starts = simulate(10000, [&](int) { return std::chrono::microseconds(jitterUs(random)); });
    // 10000 ticks of 10 ms: the last one within one interval of 100 s.
    EXPECT_LE(starts.back(), 100s + 10ms);
    EXPECT_GE(starts.back(), 100s);
    for (size_t i = 1; i < starts.size(); ++i)
        ASSERT_GE(starts[i] - starts[i - 1], 5ms) << i;
}

TEST(PacingSchedule, AStallIsMadeUpUnlessItIsLong)
{
    // Tick 3 comes 35 ms late: the lost ticks are made up at half-interval gaps
    // and the schedule is back on the grid soon after.
    const auto stalled = simulate(12, [](int k) { return k == 3 ? 35ms : 0ms; });
    EXPECT_EQ(stalled[3], 75ms);
    EXPECT_EQ(stalled[4] - stalled[3], 5ms);
    EXPECT_EQ(stalled.back(), 120ms);

    // A stall longer than ten intervals starts the schedule afresh: no burst.
    const auto longStall = simulate(6, [](int k) { return k == 2 ? 500ms : 0ms; });
    EXPECT_EQ(longStall[2], 530ms);
    EXPECT_EQ(longStall[3], 540ms);
    EXPECT_EQ(longStall[5], 560ms);
}

TEST(PacedTimer, KeepsTickingInsideANestedEventLoopOfItsOwnHandler)
{
    PacedTimer timer;
    EXPECT_EQ(timer.timerType(), Qt::PreciseTimer);
    timer.setInterval(0);
    timer.start();
    EXPECT_FALSE(timer.isActive()); // an interval of 0 does not tick

    int ticks = 0;
    int nestedTicks = 0;
    bool inNestedLoop = false;
    QEventLoop outer;
    QObject::connect(&timer, &PacedTimer::timeout, &timer, [&] {
        ++ticks;
        if (inNestedLoop) {
            ++nestedTicks;
            return;
        }
        // The first tick opens a "message box": a nested loop until three more ticks.
        inNestedLoop = true;
        QEventLoop nested;
        QElapsedTimer guard;
        guard.start();
        while (nestedTicks < 3 && guard.elapsed() < 10000)
            nested.processEvents(QEventLoop::WaitForMoreEvents, 100);
        inNestedLoop = false;
        timer.stop();
        outer.quit();
    });
    timer.setInterval(2);
    timer.start();
    EXPECT_TRUE(timer.isActive());
    outer.exec();
    EXPECT_EQ(nestedTicks, 3);
    EXPECT_EQ(ticks, 4);
    EXPECT_FALSE(timer.isActive());
}
