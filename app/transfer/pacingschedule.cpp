#include "app/transfer/pacingschedule.h"

#include <algorithm>

void PacingSchedule::start(TimePoint now, Duration interval)
{
    m_interval = interval;
    m_due = now + interval;
    m_next = m_due;
}

void PacingSchedule::tickStarted(TimePoint now)
{
    // The next deadline is counted from the grid, not from `now`: a tick that
    // started late does not move the ones after it.
    m_due += m_interval;
    // Making up more than a few intervals would send a burst of packets with
    // no gap between them; past that the grid restarts from this tick.
    if (now - m_due > m_interval * MaxBacklogIntervals)
        m_due = now + m_interval;
    // While catching up, half an interval is the least a packet waits after
    // the one before: the board gets time to handle it.
    m_next = std::max(m_due, now + m_interval / 2);
}
