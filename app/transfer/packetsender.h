#pragma once
// Writes packets to the port from a thread of its own, each on an absolute
// deadline of the monotonic clock (PacingSchedule): the first one Time Gap
// after begin(), every later one no sooner than the Time Gap after the previous
// one began to go out. A busy event loop therefore neither shortens a gap nor
// makes one much longer: the owner hands over the next packet while the last
// one waits for its deadline, and the thread alone decides when it goes.
//
// The thread writes to the port's descriptor with write(2) and touches nothing
// else of the port. The owner may hand over a few packets ahead (Depth), so a
// loop held up for longer than a gap still finds the next one ready. The
// descriptor is non-blocking, so a write the driver
// cannot take (the board sent XOFF, or its buffer is full) is a pause: the rest
// goes once the driver takes bytes again, and the stall limit ends a pause
// that lasts longer than the bytes need on the line plus a grace. The owner's
// thread is only told what happened, through queued calls: a packet went out
// whole (with the time its first byte was written), or the link failed.
//
// cancel() and detach() return at once and no byte is written after they
// return; the packets in hand are dropped, the one going out where it stands.

#include "app/transfer/pacingschedule.h"
#include "app/transfer/transfererror.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

// The line the packets go out on: a non-blocking descriptor the sender does not own.
struct SenderLine {
    int fd = -1;
    QString devicePath;  // names the device in failures
    int baudRate = 0;
    int bitsPerCharacter = 10;
    bool softwareFlow = false; // XON/XOFF: a stall is the board holding XOFF
};

class PacketSender : public QObject {
    Q_OBJECT
public:
    // Packets in hand at most: the one going out and those waiting behind it.
    static constexpr int Depth = 4;

    explicit PacketSender(QObject* parent = nullptr);
    ~PacketSender() override;

    // Packets go to `line` from now on; packets in hand are dropped.
    void attach(const SenderLine& line);
    // No write touches the descriptor after this returns; packets in hand are dropped.
    void detach();
    // Starts the pacing afresh: the first packet goes no sooner than `gap` from now.
    void begin(std::chrono::nanoseconds gap);
    // Hands over the next packet (it goes at its deadline); false while Depth
    // packets are in hand or nothing is attached.
    bool send(const char* data, qsizetype size);
    // Drops the packets in hand; how many of them had not been written whole.
    int cancel();
    // Packets in hand (handed over and not yet written whole).
    int inHand() const;
    bool busy() const { return inHand() > 0; }

signals:
    // The packet went out whole; `startNs` is the monotonic time its first byte
    // was written (in the owner's thread, after the fact).
    void written(qint64 bytes, qint64 startNs);
    // Writing failed or the board took no bytes for too long; the packets in hand are dropped.
    void failed(const TransferError& error);

private:
    void run();
    void ensureThread();
    bool waitUntilDue(std::unique_lock<std::mutex>& lock);
    bool writeSome();
    void waitForRoom(std::unique_lock<std::mutex>& lock);
    void fail(const TransferError& error);
    void tellWritten(qint64 bytes, qint64 startNs);
    bool isCurrent(uint64_t generation) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_quit = false;

    // Guarded by m_mutex.
    SenderLine m_line;
    PacingSchedule m_schedule;
    std::deque<QByteArray> m_packets; // in hand, the one going out first
    qsizetype m_done = 0;       // of the first written so far
    qint64 m_startNs = -1;      // when its first byte was written
    std::chrono::steady_clock::time_point m_lastProgress; // a byte was last taken
    uint64_t m_generation = 0;  // counts cancellations: a late report of a dropped packet is ignored
    bool m_polling = false;     // the thread waits for room on m_line.fd without the lock
};
