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
    // The Time Gap is the least time between two packets: the board may need
    // all of it to take a line. A tick on time keeps the grid; a late one
    // moves it, and the next waits a whole interval after it, never less.
    m_due = std::max(m_due + m_interval, now + m_interval);
    m_next = m_due;
}
