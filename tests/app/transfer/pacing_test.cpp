// Pacing of Timer1: the schedule driven by an invented clock, and the real
// timer ticking on inside a nested event loop (counted, not timed). The packet
// sender on a real pseudo-terminal: the floor between packets and a
// cancellation after which nothing is written, both independent of how fast
// the machine is.

#include "app/transfer/packetsender.h"
#include "app/transfer/pacedtimer.h"
#include "app/transfer/pacingschedule.h"
#include "tests/support/ptypair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <random>

using namespace std::chrono_literals;

namespace {

// Runs a schedule with a 10 ms interval on an invented clock: each tick starts
// at its planned time plus the lateness `late(k)` of tick k. The tick start times.
template <typename Lateness>
std::vector<std::chrono::nanoseconds> simulate(int ticks, Lateness late)
{
    PacingSchedule schedule;
    schedule.start(0ns, 10ms);
    std::vector<std::chrono::nanoseconds> starts;
    for (int k = 0; k < ticks; ++k) {
        const std::chrono::nanoseconds now = schedule.nextTick() + late(k);
        schedule.tickStarted(now);
        starts.push_back(now);
    }
    return starts;
}

} // namespace

// Ticks on time keep the grid; a late tick delays the next one by as much,
// so no gap is ever shorter than the interval, whatever the lateness.
TEST(PacingSchedule, NoGapIsShorterThanTheInterval)
{
    struct Case {
        const char* what;
        std::function<std::chrono::nanoseconds(int)> late;
        std::vector<std::chrono::nanoseconds> starts;
    };
    const Case cases[] = {
        {"on time", [](int) { return 0ns; }, {10ms, 20ms, 30ms, 40ms, 50ms}},
        {"two late", [](int k) { return k == 1 ? 3ms : k == 2 ? 8ms : 0ms; }, {10ms, 23ms, 41ms, 51ms, 61ms}},
        {"a stall", [](int k) { return k == 2 ? 500ms : 0ms; }, {10ms, 20ms, 530ms, 540ms, 550ms}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(simulate(5, c.late), c.starts) << c.what;

    std::mt19937 random(1234);
    std::uniform_int_distribution<int> jitterUs(0, 9000);
    const auto starts = simulate(10000, [&](int) { return std::chrono::microseconds(jitterUs(random)); });
    for (size_t i = 1; i < starts.size(); ++i)
        ASSERT_GE(starts[i] - starts[i - 1], 10ms) << i;
}

TEST(PacedTimer, KeepsTickingInsideANestedEventLoopOfItsOwnHandler)
{
    PacedTimer timer;
    EXPECT_EQ(timer.timerType(), Qt::PreciseTimer);
    timer.setInterval(0);
    timer.start();
    EXPECT_FALSE(timer.isActive()); // an interval of 0 does not tick

    int ticks = 0;
    int nestedTicks = 0;
    bool inNestedLoop = false;
    QEventLoop outer;
    QObject::connect(&timer, &PacedTimer::timeout, &timer, [&] {
        ++ticks;
        if (inNestedLoop) {
            ++nestedTicks;
            return;
        }
        // The first tick opens a "message box": a nested loop until three more ticks.
        inNestedLoop = true;
        QEventLoop nested;
        QElapsedTimer guard;
        guard.start();
        while (nestedTicks < 3 && guard.elapsed() < 10000)
            nested.processEvents(QEventLoop::WaitForMoreEvents, 100);
        inNestedLoop = false;
        timer.stop();
        outer.quit();
    });
    timer.setInterval(2);
    timer.start();
    EXPECT_TRUE(timer.isActive());
    outer.exec();
    EXPECT_EQ(nestedTicks, 3);
    EXPECT_EQ(ticks, 4);
    EXPECT_FALSE(timer.isActive());
}

namespace {

// A sender writing to the slave side of `pty`, non-blocking as a port is.
SenderLine lineOf(PtyPair& pty)
{
    ::fcntl(pty.slave(), F_SETFL, ::fcntl(pty.slave(), F_GETFL) | O_NONBLOCK);
    return {pty.slave(), pty.path, 115200, 10, false};
}

} // namespace

// However late the owner hands over the next packet (a busy event loop), and
// however many it hands over ahead, no packet's first byte goes out sooner than
// the Time Gap after the previous one's, nor the first sooner than the gap
// after begin(); every byte arrives in order.
TEST(PacketSender, NoGapIsShorterThanTheTimeGap)
{
    struct Case {
        const char* what;
        std::chrono::milliseconds gap;
        int busyEveryNth; // the owner's loop sleeps 2 gaps before handing over every n-th packet
        int ahead;        // packets the owner keeps in the sender's hands
    };
    const Case cases[] = {{"idle loop", 3ms, 0, 1}, {"busy loop", 2ms, 3, 1}, {"handed over ahead", 2ms, 0, PacketSender::Depth}};
    constexpr int Packets = 25;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PtyPair pty;
        PacketSender sender;
        sender.attach(lineOf(pty));
        std::vector<qint64> starts;
        QByteArray expected;
        int handed = 0;
        QEventLoop loop;
        auto topUp = [&] {
            while (handed < Packets && sender.inHand() < c.ahead) {
                const QByteArray packet = "packet " + QByteArray::number(handed++) + '\n';
                expected += packet;
                ASSERT_TRUE(sender.send(packet.constData(), packet.size()));
            }
        };
        QObject::connect(&sender, &PacketSender::written, &loop, [&](qint64, qint64 startNs) {
            starts.push_back(startNs);
            if (starts.size() == Packets)
                return loop.quit();
            if (c.busyEveryNth && starts.size() % c.busyEveryNth == 0)
                QThread::usleep(std::chrono::microseconds(2 * c.gap).count());
            topUp();
        });
        const qint64 begun = std::chrono::steady_clock::now().time_since_epoch().count();
        sender.begin(c.gap);
        topUp();
        loop.exec();
        ASSERT_EQ(starts.size(), size_t(Packets));
        EXPECT_GE(starts[0] - begun, std::chrono::nanoseconds(c.gap).count());
        for (size_t i = 1; i < starts.size(); ++i)
            EXPECT_GE(starts[i] - starts[i - 1], std::chrono::nanoseconds(c.gap).count()) << i;
        EXPECT_EQ(pty.read(expected.size()), expected);
    }
}

// Stop drops the packet in hand: after cancel() returns nothing more reaches
// the line, whether the packet waited for its deadline or for room in a full
// driver, and its end is never reported.
TEST(PacketSender, NothingIsWrittenAfterCancelReturns)
{
    struct Case {
        const char* what;
        std::chrono::milliseconds gap;
        qsizetype size;
    };
    const Case cases[] = {{"waiting for its deadline", 10000ms, 16}, {"waiting for room", 1ms, 1 << 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PtyPair pty;
        PacketSender sender;
        bool told = false;
        QObject::connect(&sender, &PacketSender::written, [&] { told = true; });
        QObject::connect(&sender, &PacketSender::failed, [&] { told = true; });
        sender.attach(lineOf(pty));
        sender.begin(c.gap);
        const QByteArray packet(c.size, 'x');
        ASSERT_TRUE(sender.send(packet.constData(), packet.size()));
        if (c.size > 16) {
            // Until the line takes no more and the sender waits for room.
            for (int i = 0; i < 10000; ++i) {
                pollfd room {pty.slave(), POLLOUT, 0};
                if (::poll(&room, 1, 0) == 0 && sender.busy())
                    break;
                QThread::msleep(1);
            }
        }
        EXPECT_EQ(sender.cancel(), 1);
        EXPECT_FALSE(sender.busy());
        const QByteArray before = pty.readRest(0);
        const QByteArray after = pty.readRest(100);
        EXPECT_LT(before.size() + after.size(), c.size);
        QCoreApplication::processEvents();
        EXPECT_FALSE(told);
        EXPECT_TRUE(pty.readRest(100).isEmpty());
    }
}

// A board that went away fails the write with the system's reason.
TEST(PacketSender, AWriteToAHungUpLineFailsWithTheSystemsReason)
{
    PtyPair pty;
    PacketSender sender;
    sender.attach(lineOf(pty));
    sender.begin(1ms);
    pty.closeMaster();
    QEventLoop loop;
    TransferError failure;
    QObject::connect(&sender, &PacketSender::failed, &loop, [&](const TransferError& error) {
        failure = error;
        loop.quit();
    });
    ASSERT_TRUE(sender.send("ping", 4));
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(failure.operation, TransferError::Operation::WritePort);
    EXPECT_EQ(failure.errorNumber, EIO);
    EXPECT_EQ(failure.target, pty.path);
    EXPECT_FALSE(sender.busy());
}
