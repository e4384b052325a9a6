#include "app/transfer/packetsender.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC, the clock clock_nanosleep() sleeps on

// The last stretch before a deadline is slept with clock_nanosleep(), which
// nothing but a signal wakes; before it the thread waits on its condition
// variable, which cancel() and detach() wake. Stop is kept waiting no longer.
constexpr auto FinalStretch = 2ms;
// How long one wait for room in a full driver lasts before the stall limit
// and a cancellation are looked at again.
constexpr int RoomPollMs = 5;

PacingSchedule::TimePoint monotonicNow()
{
    return Clock::now().time_since_epoch();
}

Clock::time_point clockAt(PacingSchedule::TimePoint time)
{
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(time));
}

// Sleeps until `deadline` of the monotonic clock, however often a signal interrupts.
void sleepUntil(PacingSchedule::TimePoint deadline)
{
    const auto ns = deadline.count();
    const timespec at {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

// What a thread without privileges may do to wake on time: a timer slack of
// one nanosecond, and the lowest real-time priority where the system grants
// it (a refusal is silent: the thread then runs as any other).
void askForTimeliness()
{
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    sched_param priority {};
    priority.sched_priority = ::sched_get_priority_min(SCHED_FIFO);
    ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &priority);
}

} // namespace

PacketSender::PacketSender(QObject* parent) : QObject(parent) {}

PacketSender::~PacketSender()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        ++m_generation;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PacketSender::ensureThread()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

void PacketSender::attach(const SenderLine& line)
{
    ensureThread();
    {
        const std::lock_guard lock(m_mutex);
        m_packets.clear();
        ++m_generation;
        m_line = line;
    }
    m_wake.notify_all();
}

void PacketSender::detach()
{
    std::unique_lock lock(m_mutex);
    m_packets.clear();
    ++m_generation;
    m_line.fd = -1;
    // A wait for room that is under way may still hold the old descriptor:
    // the owner closes it only once that wait is over.
    m_wake.notify_all();
    m_wake.wait(lock, [this] { return !m_polling; });
}

void PacketSender::begin(std::chrono::nanoseconds gap)
{
    {
        const std::lock_guard lock(m_mutex);
        m_schedule.start(monotonicNow(), gap);
    }
    m_wake.notify_all();
}

bool PacketSender::send(const char* data, qsizetype size)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_line.fd < 0 || int(m_packets.size()) >= Depth || size <= 0)
            return false;
        if (m_packets.empty()) {
            m_done = 0;
            m_startNs = -1;
        }
        m_packets.emplace_back(data, size);
    }
    m_wake.notify_all();
    return true;
}

int PacketSender::cancel()
{
    int unwritten = 0;
    {
        const std::lock_guard lock(m_mutex);
        unwritten = int(m_packets.size());
        m_packets.clear();
        ++m_generation;
    }
    m_wake.notify_all();
    return unwritten;
}

int PacketSender::inHand() const
{
    const std::lock_guard lock(m_mutex);
    return int(m_packets.size());
}

void PacketSender::run()
{
    askForTimeliness();
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_packets.empty() || m_line.fd < 0) {
            m_wake.wait(lock);
            continue;
        }
        if (!waitUntilDue(lock))
            continue; // woken before the deadline: look again at what is in hand
        if (!writeSome())
            waitForRoom(lock);
    }
}

// True when the packet in hand may be written now; false after a wait that
// may have changed what is in hand.
bool PacketSender::waitUntilDue(std::unique_lock<std::mutex>& lock)
{
    if (m_startNs >= 0)
        return true; // its first bytes are out: the rest goes as the driver takes it
    const PacingSchedule::TimePoint due = m_schedule.nextTick();
    const PacingSchedule::TimePoint now = monotonicNow();
    if (now >= due)
        return true;
    if (due - now > FinalStretch) {
        m_wake.wait_until(lock, clockAt(due - FinalStretch));
        return false;
    }
    const uint64_t generation = m_generation;
    lock.unlock();
    sleepUntil(due);
    lock.lock();
    return generation == m_generation && !m_quit && !m_packets.empty() && m_line.fd >= 0;
}

// Hands the driver what it takes of the packet in hand; false when it takes nothing now.
bool PacketSender::writeSome()
{
    if (m_startNs < 0) {
        const PacingSchedule::TimePoint start = monotonicNow();
        m_startNs = start.count();
        m_schedule.tickStarted(start); // the next packet goes a whole Time Gap after this one
        m_lastProgress = Clock::now();
    }
    const QByteArray& packet = m_packets.front();
    const ssize_t count = ::write(m_line.fd, packet.constData() + m_done, size_t(packet.size() - m_done));
    if (count < 0 && errno == EINTR)
        return true;
    if (count < 0 && errno != EAGAIN) {
        fail(TransferError::FromErrno(TransferError::Operation::WritePort, m_line.devicePath, errno));
        return true;
    }
    if (count <= 0)
        return false;
    m_done += count;
    m_lastProgress = Clock::now();
    if (m_done == packet.size()) {
        tellWritten(packet.size(), m_startNs);
        m_packets.pop_front();
        m_done = 0;
        m_startNs = -1;
    }
    return true;
}

// The driver takes nothing now: waits a little for room, unless the board has
// taken nothing for longer than the waiting bytes need on the line plus a grace.
void PacketSender::waitForRoom(std::unique_lock<std::mutex>& lock)
{
    int driverQueued = 0;
    ::ioctl(m_line.fd, TIOCOUTQ, &driverQueued);
    const qint64 waiting = m_packets.front().size() - m_done + driverQueued;
    const qint64 lineMs = waiting * m_line.bitsPerCharacter * 1000 / std::max(m_line.baudRate, 1);
    const qint64 stillMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_lastProgress).count();
    if (stillMs > lineMs + WriteStallGraceMs) {
        fail(TransferError::BoardStalled(m_line.devicePath, stillMs, m_line.softwareFlow, waiting));
        return;
    }
    pollfd room {m_line.fd, POLLOUT, 0};
    m_polling = true;
    lock.unlock();
    ::poll(&room, 1, RoomPollMs);
    lock.lock();
    m_polling = false;
    m_wake.notify_all(); // detach() may wait for this
}

void PacketSender::fail(const TransferError& error)
{
    m_packets.clear();
    const uint64_t generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, error, generation] {
            if (isCurrent(generation))
                emit failed(error);
        },
        Qt::QueuedConnection);
}

void PacketSender::tellWritten(qint64 bytes, qint64 startNs)
{
    const uint64_t generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, bytes, startNs, generation] {
            if (isCurrent(generation))
                emit written(bytes, startNs);
        },
        Qt::QueuedConnection);
}

bool PacketSender::isCurrent(uint64_t generation) const
{
    const std::lock_guard lock(m_mutex);
    return generation == m_generation;
}
