#pragma once
// The controls of the command-line sender: what the board sends goes to
// standard output as it arrives, messages and progress to standard error.
// Every write to standard output is checked: when one fails (a full disk, a
// reader that went away) nothing more is written and the owner is told.
//
// With several boards each has its own controls, all on one progress report
// (a row each), and a line prefix names the port: on standard output only
// whole lines go out then, so the boards' lines never run into each other.

#include "app/transfer/headlesscontrols.h"
#include "app/cli/progressreport.h"
#include "app/cli/terminalescape.h"
#include "app/transfer/receivecapture.h"

#include <QElapsedTimer>

#include <functional>

class ConsoleControls : public HeadlessControls {
public:
    // Progress goes to `progress`, row `row`.
    ConsoleControls(ProgressReport& progress, int row = 0);

    void setProgressRange(qint64 maximum) override;
    void setProgressPosition(qint64 position) override;
    void setCounterText(const QString& text) override;
    void appendReceived(const QByteArray& bytes) override;
    // Keeps what `engine` says and writes it to standard error as it comes.
    void listenTo(TransferEngine& engine);
    // Writes a line that the board began but did not end, with a line feed.
    void flushPartialLine();

    // Begins each line on standard output and standard error ("ttyUSB0: ").
    QByteArray linePrefix;
    // Each line on standard output begins with the time since Start.
    bool timestamps = false;
    std::function<qint64()> msSinceStart;
    // Standard output is a terminal: the bars on standard error share it.
    bool outputIsTerminal = false;
    // What a terminal would act on is shown as hex (TerminalEscape).
    bool escapeControls = false;
    // Every received byte also goes here, raw.
    ReceiveCapture capture;
    // Milliseconds since the board last sent something (or since creation).
    qint64 quietMs() const { return m_sinceReceived.elapsed(); }
    // Called once when the capture file fails; the capture has stopped.
    std::function<void(const TransferError&)> onCaptureFailed;
    // Called once, with the errno, when standard output fails.
    std::function<void(int)> onOutputFailed;
    // What the engine said last (without its caption), its lines joined with ": ".
    QString lastMessage;
    // What the board sent, the latest KeptReplyBytes of it, for the report.
    static constexpr qsizetype KeptReplyBytes = 64 * 1024;
    QByteArray replies;

private:
    void show(const TransferMessage& message);
    void writeOut(const QByteArray& out);

    ProgressReport& m_progress;
    int m_row;
    bool m_atLineStart = true;
    QByteArray m_partialLine; // with a prefix: the line begun, not yet ended
    TerminalEscape m_escape;
    QElapsedTimer m_sinceReceived;
    bool m_outputFailed = false;
};
