#pragma once
// When the ticks of a paced timer are due, kept against a monotonic clock: the
// k-th tick is due k intervals after the start, so a late tick does not push
// back the ones after it; the following gaps shrink to make up the delay, but
// never below half the interval, so the board always gets time between packets.
// After a long stall (more than MaxBacklogIntervals intervals behind) the
// schedule starts afresh instead of making up the lost ticks.
// The times are passed in, so the arithmetic is tested with an invented clock.

#include <chrono>

class PacingSchedule {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::nanoseconds; // since any fixed monotonic epoch

    static constexpr int MaxBacklogIntervals = 10;

    // The first tick is due one interval after `now`.
    void start(TimePoint now, Duration interval);
    // A tick begins at `now`: works out when the next one begins.
    void tickStarted(TimePoint now);
    // When the next tick should begin.
    TimePoint nextTick() const { return m_next; }

private:
    Duration m_interval {};
    TimePoint m_due {};  // the deadline of the next tick on the undisturbed grid
    TimePoint m_next {}; // m_due, or later to keep half an interval after the last tick
};
