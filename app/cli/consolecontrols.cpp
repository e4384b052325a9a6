#include "app/cli/consolecontrols.h"

#include "app/transfer/receivedformat.h"

#include <cerrno>
#include <cstdio>

namespace {

// A line the board never ends goes out in pieces of this size.
constexpr qsizetype LongestHeldLine = 4096;

} // namespace

ConsoleControls::ConsoleControls(ProgressReport& progress, int row) : m_progress(progress), m_row(row)
{
    m_sinceReceived.start();
}

void ConsoleControls::setProgressRange(qint64 maximum)
{
    HeadlessControls::setProgressRange(maximum);
    m_progress.start(m_row, maximum);
}

void ConsoleControls::setProgressPosition(qint64 position)
{
    HeadlessControls::setProgressPosition(position);
    m_progress.update(m_row, position, counter.toInt());
}

void ConsoleControls::setCounterText(const QString& text)
{
    HeadlessControls::setCounterText(text);
    m_progress.update(m_row, progressPosition, text.toInt());
}

void ConsoleControls::appendReceived(const QByteArray& bytes)
{
    m_sinceReceived.restart();
    replies += bytes.right(KeptReplyBytes);
    if (replies.size() > KeptReplyBytes)
        replies.remove(0, replies.size() - KeptReplyBytes);
    if (m_outputFailed)
        return;
    if (const TransferError failed = capture.write(bytes); failed && onCaptureFailed)
        onCaptureFailed(failed);
    const QByteArray stamp = timestamps ? TimeStamp(msSinceStart ? msSinceStart() : 0).toLatin1() : QByteArray();
    QByteArray out;
    for (const char c : escapeControls ? m_escape.filter(bytes) : bytes) {
        if (m_atLineStart)
            out += linePrefix + stamp;
        out += c;
        m_atLineStart = c == '\n';
    }
    if (linePrefix.isEmpty()) {
        writeOut(out);
        return;
    }
    m_partialLine += out;
    const qsizetype lineEnd = m_partialLine.lastIndexOf('\n') + 1;
    if (lineEnd > 0) {
        writeOut(m_partialLine.left(lineEnd));
        m_partialLine.remove(0, lineEnd);
    }
    if (m_partialLine.size() >= LongestHeldLine)
        flushPartialLine();
}

void ConsoleControls::flushPartialLine()
{
    if (escapeControls)
        m_partialLine += m_escape.flush();
    if (m_partialLine.isEmpty() || m_outputFailed)
        return;
    writeOut(m_partialLine + '\n');
    m_partialLine.clear();
    m_atLineStart = true;
}

// On a terminal the bars make room for the text and come back below it at
// once; standard output elsewhere leaves them alone.
void ConsoleControls::writeOut(const QByteArray& out)
{
    if (outputIsTerminal)
        m_progress.clearLine();
    errno = 0;
    const bool written = std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout)
            == static_cast<size_t>(out.size())
        && std::fflush(stdout) == 0;
    if (outputIsTerminal)
        m_progress.restore();
    if (written)
        return;
    m_outputFailed = true;
    const int error = errno ? errno : EIO;
    if (onOutputFailed)
        onOutputFailed(error);
}

void ConsoleControls::listenTo(TransferEngine& engine)
{
    HeadlessControls::listenTo(engine);
    QObject::connect(&engine, &TransferEngine::message, &engine,
                     [this](const TransferMessage& message) { show(message); });
    QObject::connect(&engine, &TransferEngine::logLine, &engine,
                     [this](const QString& line) { show(TransferMessage {line, {}, {}}); });
}

void ConsoleControls::show(const TransferMessage& message)
{
    m_progress.finish(m_row);
    m_progress.clearLine();
    QString text = message.caption.isEmpty() ? message.text : message.caption + QStringLiteral(": ") + message.text;
    lastMessage = QString(message.text).replace(QLatin1Char('\n'), QStringLiteral(": "));
    if (!linePrefix.isEmpty())
        text = QString::fromLocal8Bit(linePrefix) + text.replace(QLatin1Char('\n'), QLatin1Char('\n') + QString::fromLocal8Bit(linePrefix));
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    m_progress.restore();
}
