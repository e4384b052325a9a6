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
    m_due += m_interval;
    if (now - m_due > m_interval * MaxBacklogIntervals)
        m_due = now + m_interval;
    m_next = std::max(m_due, now + m_interval / 2);
}
