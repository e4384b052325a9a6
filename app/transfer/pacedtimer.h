#pragma once
// A repeating timer paced against the monotonic clock (see PacingSchedule):
// the transfer engine's timer. Its interval is the Time Gap; an interval of 0
// does not tick. It is re-armed before each timeout is delivered, so it keeps
// ticking while a handler runs a nested event loop (a modal message box).

#include "app/transfer/pacingschedule.h"

#include <QObject>
#include <QTimer>

class PacedTimer : public QObject {
    Q_OBJECT
public:
    explicit PacedTimer(QObject* parent = nullptr);

    int interval() const { return m_interval; }
    // Changing the interval of a started timer starts its schedule afresh.
    void setInterval(int milliseconds);
    // Switches the timer on (its schedule starts afresh) or off.
    void start();
    void stop();
    // Started with an interval above 0: ticks are due.
    bool isActive() const { return m_active; }
    Qt::TimerType timerType() const { return m_shot.timerType(); }

signals:
    void timeout();

private:
    static PacingSchedule::TimePoint now();
    void fire();
    void arm();

    QTimer m_shot;
    PacingSchedule m_schedule;
    int m_interval = 0;
    bool m_started = false;
    bool m_active = false;
};
