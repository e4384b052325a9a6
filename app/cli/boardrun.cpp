#include "app/cli/boardrun.h"

#include "app/cli/exitstatus.h"
#include "app/transfer/pacingvalues.h"
#include "app/transfer/serialdevice.h"
#include "app/transfer/wholenumber.h"

#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int LingerCheckMs = 10;

int exitStatusFor(TransferEngine::TransferEnd end, const TransferEngine& engine)
{
    switch (end) {
    case TransferEngine::TransferEnd::Finished:
    case TransferEngine::TransferEnd::NoMoreData:
        return engine.sentBytes() >= engine.fileSize() ? ExitSent : ExitFailed;
    case TransferEngine::TransferEnd::Interrupted:
        return ExitInterrupted;
    default:
        return ExitFailed;
    }
}

} // namespace

BoardRun::BoardRun(const CliArguments& arguments, const TPortSettings& settings,
                   const std::optional<QString>& port, bool named, ProgressReport& progress, int row)
    : m_named(named), m_lingerMs(arguments.lingerMs), m_controls(progress, row),
      m_engine(m_controls)
{
    m_controls.listenTo(m_engine);
    // One-off options must not become the window's remembered settings.
    m_engine.setSavesSettings(false);
    m_engine.ApplySettings(settings);
    apply(arguments, port);
    m_port = m_controls.portText();
    if (m_named)
        m_controls.linePrefix = (PortLabel(m_port) + QStringLiteral(": ")).toLocal8Bit();

    QObject::connect(&m_engine, &TransferEngine::transferEnded, &m_engine,
                     [this](TransferEngine::TransferEnd end) { onTransferEnded(end); });
    // Said once the file is open: the file opens while the event loop runs,
    // so Ctrl-C is taken during a slow open.
    QObject::connect(&m_engine, &TransferEngine::transferStarted, &m_engine, [this] {
        if (const QString warning = m_engine.wireTimeWarning(); !warning.isEmpty())
            std::fprintf(stderr, "%s%s\n", m_controls.linePrefix.constData(), warning.toLocal8Bit().constData());
    });
    // A capture that fails ends this board's transfer: what the board sends
    // could no longer be kept. Queued, as the bytes arrive inside the engine.
    m_controls.onCaptureFailed = [this](const TransferError& failed) {
        m_captureFailure = HeadlineText(Headline::CaptureNotWritten).text
            + QStringLiteral("\n%1: %2").arg(failed.target, failed.reason);
        QMetaObject::invokeMethod(&m_engine, [this] { endForCapture(); }, Qt::QueuedConnection);
    };
    // After the end, keep showing what the board sends until it falls quiet,
    // but no longer than the linger from the end of the file: a board that
    // never stops talking (a heartbeat) does not keep the command running.
    QObject::connect(&m_linger, &QTimer::timeout, &m_engine, [this] {
        m_engine.pollReceive();
        if (m_controls.quietMs() >= m_lingerMs || m_sinceEnd.elapsed() >= m_lingerMs || !m_engine.isPortOpen())
            finish();
    });
}

QString BoardRun::PortLabel(const QString& port)
{
    const QString device = SerialDevice::DevicePathFor(port);
    return device.startsWith(QStringLiteral("/dev/")) ? device.mid(5) : device;
}

QString BoardRun::CaptureFileFor(const QString& captureFile, const QString& port)
{
    const QString label = PortLabel(port).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString name = QFileInfo(captureFile).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot > 0 ? captureFile.size() - name.size() + dot : captureFile.size();
    return captureFile.left(at) + QLatin1Char('-') + label + captureFile.mid(at);
}

void BoardRun::apply(const CliArguments& arguments, const std::optional<QString>& port)
{
    if (port)
        m_controls.typePort(*port);
    if (arguments.baud)
        m_controls.typeBaud(*arguments.baud);
    if (arguments.gapMs) {
        m_controls.setTimeGapText(QString::number(*arguments.gapMs));
        m_engine.timeGapEdited();
    }
    if (arguments.blockSize) {
        m_controls.setPauseByDataSize(true);
        m_controls.setDataSizeText(QString::number(*arguments.blockSize));
        m_engine.dataSizeEdited();
    } else if (arguments.lines) {
        m_controls.setPauseByDataSize(false);
    }
    m_controls.sendFile = arguments.file;
    m_controls.sendFileBytes = arguments.filePath;
    m_engine.setLineFormat(arguments.lineFormat);
    m_engine.setReplyWait(arguments.waitFor, arguments.replyTimeoutMs);
    m_controls.timestamps = arguments.timestamps;
    m_controls.outputIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    m_controls.escapeControls = m_controls.outputIsTerminal && !arguments.raw;
    m_controls.msSinceStart = [this] { return m_engine.msSinceStart(); };
}

std::optional<QString> BoardRun::startCapture(const QString& path)
{
    if (const TransferError failed = m_controls.capture.start(path))
        return HeadlineText(Headline::CaptureNotOpened).text + QLatin1Char('\n') + path + QStringLiteral(": ")
            + failed.reason;
    return std::nullopt;
}

void BoardRun::start()
{
    m_engine.start();
    if (!m_engine.isPortOpen()) {
        m_status = ExitFailed; // the port was not opened; the message said why
        finish();
        return;
    }
    if (m_status && !m_engine.isSending())
        finish(); // a number was refused at Start, or standard input could not be taken
}

void BoardRun::interrupt()
{
    if (m_done)
        return;
    if (m_engine.isSending()) {
        m_interrupted = true;
        m_engine.stop(); // "Transmit Interrupt !!!"
        return;
    }
    if (!m_status) {
        // Between the last packet and its end message: nothing was finished.
        m_interrupted = true;
        m_status = ExitInterrupted;
    }
    finish();
}

void BoardRun::endForCapture()
{
    std::fprintf(stderr, "%s%s\n", m_controls.linePrefix.constData(),
                 QString(m_captureFailure).replace(QLatin1Char('\n'), QLatin1Char('\n') + QString::fromLocal8Bit(m_controls.linePrefix))
                     .toLocal8Bit()
                     .constData());
    if (m_engine.isSending())
        m_engine.stop(); // the end is this board's failure
    m_status = ExitFailed;
    finish();
}

void BoardRun::onTransferEnded(TransferEngine::TransferEnd end)
{
    if (!m_captureFailure.isEmpty()) {
        m_status = ExitFailed;
        m_seconds = m_engine.msSinceStart() / 1000.0;
        return;
    }
    m_status = exitStatusFor(end, m_engine);
    m_seconds = m_engine.msSinceStart() / 1000.0;
    if (!m_named)
        std::fprintf(stderr, "packets: %d\n", m_engine.packetCount());
    if (end == TransferEngine::TransferEnd::LinkFailed || end == TransferEngine::TransferEnd::CannotOpenFile)
        finish();
    else {
        m_sinceEnd.start();
        m_linger.start(LingerCheckMs);
    }
}

void BoardRun::finish()
{
    if (m_done)
        return;
    m_done = true;
    m_linger.stop();
    m_controls.flushPartialLine();
    m_seconds = seconds();
    if (onDone)
        onDone();
}

QString BoardRun::result() const
{
    if (!m_done)
        return QStringLiteral("not finished");
    if (m_status == ExitSent)
        return QStringLiteral("ok");
    if (!m_captureFailure.isEmpty())
        return QString(m_captureFailure).replace(QLatin1Char('\n'), QStringLiteral(": "));
    return m_controls.lastMessage.isEmpty() ? QStringLiteral("failed") : m_controls.lastMessage;
}

SendSettings BoardRun::sendSettings() const
{
    SendSettings settings;
    if (const std::optional<int> baud = ToWholeNumber(m_controls.baudText()))
        settings.baud = *baud;
    settings.gapMs = TimeGapOrDefault(m_controls.timeGapText()).value;
    if (m_controls.pauseByDataSize())
        settings.blockSize = DataSizeOrDefault(m_controls.dataSizeText()).value;
    settings.format = m_engine.lineFormat();
    settings.waitFor = m_engine.replyWait().expected();
    settings.replyTimeoutMs = m_engine.replyWait().timeoutMs();
    return settings;
}
