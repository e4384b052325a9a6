#pragma once
// The controls of the command-line sender: what the board sends goes to
// standard output as it arrives, messages and progress to standard error.

#include "app/transfer/headlesscontrols.h"
#include "app/cli/progressreport.h"

#include <QElapsedTimer>

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
    // Milliseconds since the board last sent something (or since creation).
    qint64 quietMs() const { return m_sinceReceived.elapsed(); }

private:
    void show(const TransferMessage& message);

    ProgressReport m_progress;
    QElapsedTimer m_sinceReceived;
};
