#include "app/cli/consolecontrols.h"

#include "app/transfer/receivedformat.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

ConsoleControls::ConsoleControls() : m_progress(stderr, ::isatty(STDERR_FILENO) == 1)
{
    m_sinceReceived.start();
}

void ConsoleControls::setProgressRange(qint64 maximum)
{
    HeadlessControls::setProgressRange(maximum);
    m_progress.start(maximum);
}

void ConsoleControls::setProgressPosition(qint64 position)
{
    HeadlessControls::setProgressPosition(position);
    m_progress.update(position, counter.toInt());
}

void ConsoleControls::setCounterText(const QString& text)
{
    HeadlessControls::setCounterText(text);
    m_progress.update(progressPosition, text.toInt());
}

void ConsoleControls::appendReceived(const QByteArray& bytes)
{
    m_sinceReceived.restart();
    if (m_outputFailed)
        return;
    m_progress.clearLine();
    capture.write(bytes);
    QByteArray out = bytes;
    if (timestamps) {
        const QByteArray stamp = TimeStamp(msSinceStart ? msSinceStart() : 0).toLatin1();
        out.clear();
        for (const char c : bytes) {
            if (m_atLineStart)
                out += stamp;
            out += c;
            m_atLineStart = c == '\n';
        }
    }
    errno = 0;
    const bool written = std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout)
            == static_cast<size_t>(out.size())
        && std::fflush(stdout) == 0;
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
}

void ConsoleControls::show(const TransferMessage& message)
{
    m_progress.finish();
    const QString line = message.caption.isEmpty() ? message.text
                                                    : message.caption + QStringLiteral(": ") + message.text;
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}
