#pragma once
// Waiting for the board's answer to each packet: after a packet goes out, the
// next may go only once what the board sent since contains a given text (such
// as "OK" or ">"). Keeps what arrived since the packet and tells whether the
// text is in it; the engine keeps the time.

#include <QByteArray>
#include <QString>

constexpr int DefaultReplyTimeoutMs = 5000;
constexpr int MaxReplyTimeoutMs = 3600 * 1000;

class ReplyWait {
public:
    // An empty text switches waiting off.
    void setExpected(const QByteArray& text, int timeoutMs);
    bool enabled() const { return !m_expected.isEmpty(); }
    QByteArray expected() const { return m_expected; }
    int timeoutMs() const { return m_timeoutMs; }

    // Packet `packet` went out: wait for its answer.
    void packetSent(int packet);
    // Nothing to wait for any more (the transfer ended).
    void cancel() { m_waiting = false; }
    bool waiting() const { return m_waiting; }
    // The board sent `bytes`; true once the answer is complete (waiting ends).
    bool received(const QByteArray& bytes);

    // "packet 12: no "OK" within 5000 ms; received "ERR\r\n"" for the message
    // that stops the transfer.
    QString timeoutText() const;

private:
    QByteArray m_expected;
    int m_timeoutMs = DefaultReplyTimeoutMs;
    bool m_waiting = false;
    int m_packet = 0;
    QByteArray m_since; // the board's bytes since the packet, the latest part when long
};
