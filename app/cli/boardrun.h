#pragma once
// One board of a "send" command: its own controls and transfer engine, from
// Start to the end of the linger after the transfer. Boards of one command
// share the event loop, standard output and the progress report, nothing else.

#include "app/cli/cliarguments.h"
#include "app/cli/consolecontrols.h"
#include "app/cli/sendsettings.h"
#include "app/transfer/transferengine.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <optional>

class BoardRun {
public:
    // `port` left out: the port in the settings. `named`: several boards run,
    // so this one's lines and messages begin with its port's name.
    // `settings`: the remembered ones, for what the arguments leave out.
    BoardRun(const CliArguments& arguments, const TPortSettings& settings, const std::optional<QString>& port,
             bool named, ProgressReport& progress, int row);

    // The port's short name: the device without /dev/ ("ttyUSB0", "pts/3").
    static QString PortLabel(const QString& port);
    // The capture file of one port among several: the label added to the
    // name before its extension ("board.log" -> "board-ttyUSB0.log").
    static QString CaptureFileFor(const QString& captureFile, const QString& port);

    // Opens the capture file; the message to show when it cannot.
    std::optional<QString> startCapture(const QString& path);
    // Opens the port and starts the transfer; done() comes at once when
    // either is refused.
    void start();
    // Ctrl-C: stops a transfer that runs; a board that only lingers is done at once.
    void interrupt();
    // The command's standard output failed: the board is told.
    void setOnOutputFailed(std::function<void(int)> onFailed) { m_controls.onOutputFailed = std::move(onFailed); }
    // Called once, when the board is done.
    std::function<void()> onDone;

    bool isDone() const { return m_done; }
    bool wasInterrupted() const { return m_interrupted; }
    int exitStatus() const { return m_status.value_or(1); }
    QString port() const { return m_port; }
    qint64 sentBytes() const { return m_engine.sentBytes(); }
    int packetCount() const { return m_engine.packetCount(); }
    // From Start to the end of the transfer (to now while it runs).
    double seconds() const { return m_seconds < 0 ? m_engine.msSinceStart() / 1000.0 : m_seconds; }
    // "ok", what ended it (the engine's message on one line), or "not finished".
    QString result() const;
    // What the board sent, its latest part when it said much.
    QByteArray replies() const { return m_controls.replies; }
    // The settings this board is sent with.
    SendSettings sendSettings() const;

private:
    void apply(const CliArguments& arguments, const std::optional<QString>& port);
    void onTransferEnded(TransferEngine::TransferEnd end);
    void finish();
    void endForCapture();

    QString m_port;
    bool m_named;
    int m_lingerMs;
    ConsoleControls m_controls;
    TransferEngine m_engine;
    QTimer m_linger;
    QElapsedTimer m_sinceEnd; // since the end of the transfer
    std::optional<int> m_status;
    QString m_captureFailure; // what the capture's failure is said as

    double m_seconds = -1; // from Start to the end of the transfer
    bool m_done = false;
    bool m_interrupted = false;
};
