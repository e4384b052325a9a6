#pragma once
// When the ticks of a paced timer are due, kept against a monotonic clock:
// tick k is due k intervals after the start while the ticks come on time; a
// late tick delays the next one, which comes a whole interval after it. No two
// ticks are ever closer than the interval (no catching up), and ticks on time
// do not drift. The times are passed in, so the arithmetic is tested with an
// invented clock.

#include <chrono>

class PacingSchedule {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::nanoseconds; // since any fixed monotonic epoch

    // The first tick is due one interval after `now`.
    void start(TimePoint now, Duration interval);
    // A tick begins at `now`: works out when the next one begins.
    void tickStarted(TimePoint now);
    // When the next tick should begin.
    TimePoint nextTick() const { return m_next; }

private:
    Duration m_interval {};
    TimePoint m_due {};  // the deadline of the next tick
    TimePoint m_next {}; // the same, as nextTick() gives it
};
