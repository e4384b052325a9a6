#pragma once
// A transfer engine driven tick by tick against a board in another process or
// on a pseudo-terminal, for the serial fault tests. Ticks are run by hand so
// that each one can be timed: a tick that blocks is what makes a window hang.
// The packet sender writes the packets ticks hand over, at least 1 ms apart.

#include "tests/support/enginerig.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>
#include <optional>
#include <unistd.h>

class EngineRun : public EngineRig {
public:
    EngineRun()
    {
        // The sender keeps the Time Gap between packets: the shortest keeps the
        // runs short. Timer1 then also ticks inside processEvents().
        controls.timeGap = QStringLiteral("1");
        engine.timeGapEdited();
        QObject::connect(&engine, &TransferEngine::transferEnded, &engine,
                         [this](TransferEngine::TransferEnd e) { end = e; });
    }

    // Opens `port` and starts sending `file`; block mode when `dataSize` is given.
    bool start(const QString& port, const QString& baud, const QString& file, std::optional<int> dataSize = {})
    {
        controls.port = port;
        controls.baud = baud;
        controls.sendFile = file;
        controls.pauseChecked = dataSize.has_value();
        if (dataSize)
            controls.dataSize = QString::number(*dataSize);
        engine.startOrStop();
        return waitForSendFile() && engine.state() == TransferState::Sending;
    }

    // One tick, timed; queued signals (the port's failure) run after it.
    void tick()
    {
        QElapsedTimer t;
        t.start();
        engine.tick();
        longestTickMs = std::max(longestTickMs, t.elapsed());
        QCoreApplication::processEvents();
        ++ticks;
    }

    // Ticks every `pauseUs` until `done` or `maxTicks`.
    void tickUntil(const std::function<bool()>& done, int maxTicks = 200000, int pauseUs = 500)
    {
        for (int i = 0; i < maxTicks && !done(); ++i) {
            tick();
            ::usleep(pauseUs);
        }
    }

    bool ended() const { return end.has_value(); }

    QByteArray received() const
    {
        QByteArray all;
        for (const QByteArray& part : controls.log)
            all += part;
        return all;
    }

    std::optional<TransferEngine::TransferEnd> end;
    qint64 longestTickMs = 0;
    int ticks = 0;
};

// Lines "record NNNNNN\n" (14 bytes each).
inline QByteArray numberedLines(int count)
{
    QByteArray lines;
    lines.reserve(qsizetype(count) * 14);
    for (int i = 0; i < count; ++i)
        lines += "record " + QByteArray::number(i).rightJustified(6, '0') + '\n';
    return lines;
}
