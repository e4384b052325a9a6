#include "app/transfer/replywait.h"

#include "app/transfer/escapedtext.h"

namespace {

// What the timeout message quotes of the board's answer at most.
constexpr int QuotedLength = 80;
// The answer kept while waiting: a board that floods the line must not grow it
// without end; the tail kept still finds a text split across two reads.
constexpr int KeptBytes = 64 * 1024;

} // namespace

void ReplyWait::setExpected(const QByteArray& text, int timeoutMs)
{
    m_expected = text;
    m_timeoutMs = timeoutMs;
    m_waiting = false;
}

void ReplyWait::packetSent(int packet)
{
    m_packet = packet;
    m_since.clear();
    m_waiting = enabled();
}

bool ReplyWait::received(const QByteArray& bytes)
{
    if (!m_waiting)
        return false;
    m_since += bytes;
    if (m_since.contains(m_expected)) {
        m_waiting = false;
        return true;
    }
    if (m_since.size() > KeptBytes)
        m_since = m_since.right(KeptBytes / 2);
    return false;
}

QString ReplyWait::timeoutText() const
{
    const QString received = m_since.isEmpty()
        ? QStringLiteral("nothing received")
        : QStringLiteral("received %1%2")
              .arg(QuotedBytes(m_since.left(QuotedLength)), m_since.size() > QuotedLength ? QStringLiteral("...") : QString());
    return QStringLiteral("packet %1: no %2 within %3 ms; %4")
        .arg(m_packet)
        .arg(QuotedBytes(m_expected))
        .arg(m_timeoutMs)
        .arg(received);
}
