// Pacing of Timer1: the schedule driven by an invented clock, and the real
// timer ticking on inside a nested event loop (counted, not timed).

#include "app/transfer/pacedtimer.h"
#include "app/transfer/pacingschedule.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <gtest/gtest.h>
#include <functional>
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

// Ticks on time keep the grid; a late tick delays the next one by as much,
// so no gap is ever shorter than the interval, whatever the lateness.
TEST(PacingSchedule, NoGapIsShorterThanTheInterval)
{
    struct Case {
        const char* what;
        std::function<std::chrono::nanoseconds(int)> late;
        std::vector<std::chrono::nanoseconds> starts;
    };
    const Case cases[] = {
        {"on time", [](int) { return 0ns; }, {10ms, 20ms, 30ms, 40ms, 50ms}},
        {"two late", [](int k) { return k == 1 ? 3ms : k == 2 ? 8ms : 0ms; }, {10ms, 23ms, 41ms, 51ms, 61ms}},
        {"a stall", [](int k) { return k == 2 ? 500ms : 0ms; }, {10ms, 20ms, 530ms, 540ms, 550ms}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(simulate(5, c.late), c.starts) << c.what;

    std::mt19937 random(1234);
    std::uniform_int_distribution<int> jitterUs(0, 9000);
    const auto starts = simulate(10000, [&](int) { return std::chrono::microseconds(jitterUs(random)); });
    for (size_t i = 1; i < starts.size(); ++i)
        ASSERT_GE(starts[i] - starts[i - 1], 10ms) << i;
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
