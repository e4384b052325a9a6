#pragma once
// The controls of the command-line sender: what the board sends goes to
// standard output as it arrives, messages and progress to standard error.
// Every write to standard output is checked: when one fails (a full disk, a
// reader that went away) nothing more is written and the owner is told.

#include "app/transfer/headlesscontrols.h"
#include "app/cli/progressreport.h"
#include "app/transfer/receivecapture.h"

#include <QElapsedTimer>

#include <functional>

class ConsoleControls : public HeadlessControls {
public:
    ConsoleControls();

    void setProgressRange(qint64 maximum) override;
    void setProgressPosition(qint64 position) override;
    void setCounterText(const QString& text) override;
    void appendReceived(const QByteArray& bytes) override;
    // Keeps what `engine` says and writes it to standard error as it comes.
    void listenTo(TransferEngine& engine);

    ProgressReport& progress() { return m_progress; }

    // Each line on standard output begins with the time since Start.
    bool timestamps = false;
    std::function<qint64()> msSinceStart;
    // Every received byte also goes here, raw.
    ReceiveCapture capture;
    // Milliseconds since the board last sent something (or since creation).
    qint64 quietMs() const { return m_sinceReceived.elapsed(); }
    // Called once, with the errno, when standard output fails.
    std::function<void(int)> onOutputFailed;

private:
    void show(const TransferMessage& message);

    ProgressReport m_progress;
    bool m_atLineStart = true;
    QElapsedTimer m_sinceReceived;
    bool m_outputFailed = false;
};
