#include "app/transfer/pacedtimer.h"

#include <chrono>

PacedTimer::PacedTimer(QObject* parent) : QObject(parent)
{
    m_shot.setSingleShot(true);
    m_shot.setTimerType(Qt::PreciseTimer);
    connect(&m_shot, &QTimer::timeout, this, &PacedTimer::fire);
}

// The monotonic clock: a change of the wall clock must not bunch up or hold
// back the packets.
PacingSchedule::TimePoint PacedTimer::now()
{
    return std::chrono::steady_clock::now().time_since_epoch();
}

void PacedTimer::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    if (m_started)
        start();
}

void PacedTimer::start()
{
    m_shot.stop();
    m_started = true;
    m_active = m_interval > 0;
    if (!m_active)
        return;
    m_schedule.start(now(), std::chrono::milliseconds(m_interval));
    arm();
}

void PacedTimer::stop()
{
    m_started = false;
    m_active = false;
    m_shot.stop();
}

void PacedTimer::fire()
{
    if (!m_active)
        return;
    m_schedule.tickStarted(now());
    arm();
    emit timeout();
}

// Qt timers count whole milliseconds: round up, so that no tick comes before
// its deadline and no gap is shorter than the interval.
void PacedTimer::arm()
{
    const auto delay = m_schedule.nextTick() - now();
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(delay);
    m_shot.start(std::max(ms, std::chrono::milliseconds(0)));
}
