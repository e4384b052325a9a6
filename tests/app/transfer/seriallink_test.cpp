// Opening the port and receiving from it, on real pseudo-terminals through
// the real QSerialPort.

#include "app/transfer/receivedtext.h"
#include "app/transfer/serialdevice.h"
#include "tests/support/enginerig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// True when another descriptor of the device can take the exclusive lock,
// i.e. no one holds the port.
bool portIsFree(const PtyPair& pty)
{
    const int fd = ::open(pty.path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

QByteArray joined(const QList<QByteArray>& parts)
{
    QByteArray all;
    for (const QByteArray& part : parts)
        all += part;
    return all;
}

class SerialLink : public testing::Test, public PtyEngineRig {
protected:
    SerialLink() : PtyEngineRig(QStringLiteral("9600")) {}
    void SetUp() override { ASSERT_TRUE(pty.isOpen()); }
    bool open()
    {
        return engine.OpenPort();
    }
};

} // namespace

TEST(SerialDeviceNames, ComNamesDeviceNamesAndPaths)
{
    EXPECT_EQ(SerialDevice::DevicePathFor("COM1"), "/dev/ttyS0");
    EXPECT_EQ(SerialDevice::DevicePathFor("COM12"), "/dev/ttyS11");
    EXPECT_EQ(SerialDevice::DevicePathFor("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(SerialDevice::DevicePathFor("/dev/serial/by-id/usb-FTDI_Board_0123456789-if00"),
              "/dev/serial/by-id/usb-FTDI_Board_0123456789-if00");
    // A relative path is one from the working folder, as the open takes it, never one below /dev.
    EXPECT_EQ(SerialDevice::DevicePathFor("sub/link"), QDir::current().absoluteFilePath(QStringLiteral("sub/link")));
}

TEST_F(SerialLink, OpensRawAt8N1WhateverTheBoxesSay)
{
    controls.indexes = {0, 5, 2, 1, 2}; // even parity, 7 bits, 2 stop bits: remembered only
    for (const QString& baud : ListItems(SettingsList::Baud)) {
        controls.baud = baud;
        ASSERT_TRUE(open()) << baud.toStdString();
    }
    EXPECT_TRUE(controls.messages.isEmpty());
    termios line {};
    ASSERT_EQ(::tcgetattr(pty.slave(), &line), 0);
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(line.c_cflag & PARENB);
    EXPECT_FALSE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(line.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(line.c_oflag & OPOST);
    EXPECT_FALSE(line.c_iflag & (ICRNL | INLCR | IXON));
}

TEST_F(SerialLink, TheOpenPortIsExclusive)
{
    ASSERT_TRUE(open());
    EXPECT_FALSE(portIsFree(pty));
    SerialDevice second;
    EXPECT_EQ(second.open(pty.path, 9600).operation, TransferError::Operation::OpenPort);
}

TEST_F(SerialLink, OpeningAgainClosesTheOldPortEvenWhenTheNewOpenFails)
{
    ASSERT_TRUE(open());
    PtyPair other;
    controls.port = other.path;
    ASSERT_TRUE(open());
    EXPECT_TRUE(portIsFree(pty));
    EXPECT_FALSE(portIsFree(other));

    controls.port = QStringLiteral("/dev/no-such-board");
    EXPECT_FALSE(open());
    EXPECT_TRUE(portIsFree(other));
    ASSERT_EQ(controls.messages.size(), 1);
    EXPECT_EQ(controls.messages[0].text, "Open COM Port Error !!!\nNo such file or directory");
    EXPECT_EQ(controls.messages[0].caption, "Comm Error");
}

// The message of a failed open carries what failed, on which device or file,
// and the system's reason on a second line; a locked port names its holder.
TEST_F(SerialLink, AFailedOpenSaysWhatFailedWhereAndWhy)
{
    using Op = TransferError::Operation;
    const QString missingFile = dir.filePath(QStringLiteral("missing"));
    struct Case {
        const char* what;
        QString port, baud, sendFile;
        bool portHeldElsewhere;
        Op operation;
        QString target;
        int errorNumber;
    };
    const Case cases[] = {
        {"no device", QStringLiteral("/dev/no-such-board"), QStringLiteral("9600"), {}, false, Op::OpenPort,
         QStringLiteral("/dev/no-such-board"), ENOENT},
        {"locked", pty.path, QStringLiteral("9600"), {}, true, Op::OpenPort, pty.path, EBUSY},
        {"baud 0", pty.path, QStringLiteral("0"), {}, false, Op::SetUpPort, pty.path, EINVAL},
        {"no file", pty.path, QStringLiteral("9600"), missingFile, false, Op::OpenFile, missingFile, ENOENT},
        {"a folder", pty.path, QStringLiteral("9600"), dir.path(), false, Op::OpenFile, dir.path(), EISDIR},
    };
    for (const Case& c : cases) {
        controls.port = c.port;
        controls.baud = c.baud;
        controls.sendFile = c.sendFile;
        if (c.portHeldElsewhere) {
            ASSERT_EQ(::flock(pty.slave(), LOCK_EX | LOCK_NB), 0);
        }
        engine.start(); // opens the port, then starts
        waitForSendFile();
        ::flock(pty.slave(), LOCK_UN);
        ASSERT_FALSE(controls.messages.isEmpty()) << c.what;
        const TransferError& error = controls.messages.last().error;
        EXPECT_EQ(error.operation, c.operation) << c.what;
        EXPECT_EQ(error.target, c.target) << c.what;
        EXPECT_EQ(error.errorNumber, c.errorNumber) << c.what;
        const QString reason = QString::fromLocal8Bit(std::strerror(c.errorNumber))
            + (c.portHeldElsewhere ? QStringLiteral(": held by process %1 (%2)")
                                         .arg(::getpid())
                                         .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15))
                                   : QString());
        EXPECT_EQ(error.reason, reason) << c.what;
        EXPECT_TRUE(controls.messages.last().text.endsWith(QLatin1Char('\n') + reason)) << c.what;
    }
}

TEST_F(SerialLink, ABaudTextThatIsNotANumberClosesThePortAndSaysSo)
{
    engine.startOrStop(); // opens, then starts: no file
    waitForSendFile();
    ASSERT_TRUE(engine.isPortOpen());
    controls.messages.clear();
    controls.typeBaud(QString());
    engine.applyPortSettings();
    EXPECT_EQ(engine.state(), TransferState::Closed);
    EXPECT_TRUE(portIsFree(pty));
    ASSERT_EQ(controls.messages.size(), 1);
    EXPECT_EQ(controls.messages[0].text, "'' is not a valid integer value");

    controls.baud = QStringLiteral("fast");
    engine.applyPortSettings();
    EXPECT_EQ(controls.messages.last().text, "'fast' is not a valid integer value");

    controls.baud = QStringLiteral("0");
    engine.applyPortSettings();
    EXPECT_EQ(controls.messages.last().text, "COM Port Setting Error!!!\nInvalid argument");
    EXPECT_EQ(controls.messages.last().caption, "Set Error");
    EXPECT_TRUE(portIsFree(pty));
}

TEST_F(SerialLink, ShowsEveryReceivedByteIncludingBacklogsAndZeroBytes)
{
    engine.applyPortSettings();
    ASSERT_EQ(engine.state(), TransferState::Idle);
    pty.write("abc");
    for (int i = 0; i < 10000 && controls.log.isEmpty(); ++i) {
        engine.tick();
        if (controls.log.isEmpty())
            ::usleep(1000);
    }
    ASSERT_EQ(controls.log.size(), 1);
    EXPECT_EQ(controls.log[0], "abc");

    // A backlog far beyond 4096 bytes, with zero bytes in it, arrives whole.
    QByteArray backlog;
    for (int i = 0; i < 200000; ++i)
        backlog += char(i % 251);
    controls.log.clear();
    qsizetype sent = 0;
    for (int ticks = 0; joined(controls.log).size() < backlog.size() && ticks < 20000; ++ticks) {
        sent += pty.writeSome(backlog.mid(sent));
        engine.tick();
        ::usleep(200);
    }
    EXPECT_EQ(joined(controls.log), backlog);
    for (const QByteArray& part : controls.log)
        EXPECT_LE(part.size(), TransferEngine::ReceiveChunk);

    EXPECT_EQ(ReceivedText(QByteArray("ok\0after", 8)), QString::fromUtf8("ok\u2400after"));
    EXPECT_EQ(ReceivedText("\xe9t\xe9"), QString::fromUtf8("\u00e9t\u00e9"));
}

TEST_F(SerialLink, AVanishedBoardClosesThePortWithTheSystemsReason)
{
    engine.applyPortSettings();
    ASSERT_EQ(engine.state(), TransferState::Idle);
    pty.write("last words");
    for (int i = 0; i < 10000 && controls.log.isEmpty(); ++i) {
        ::usleep(1000);
        engine.tick();
    }
    pty.closeMaster();
    engine.tick();
    EXPECT_EQ(engine.state(), TransferState::Closed);
    EXPECT_FALSE(engine.port().isOpen());
    EXPECT_EQ(joined(controls.log), "last words");
    ASSERT_EQ(controls.messages.size(), 1);
    EXPECT_EQ(controls.messages[0].text, "COM Port Error !!!\nInput/output error");
    EXPECT_EQ(controls.messages[0].caption, "Comm Error");

    // With the link down ticks do nothing; Start tries to open the port again.
    engine.tick();
    EXPECT_EQ(controls.messages.size(), 1);
    engine.startOrStop();
    EXPECT_TRUE(controls.messages.last().text.startsWith("Open COM Port Error !!!\n"));
}

TEST(SerialDeviceWrite, AWriteToAHungUpDeviceFailsWithTheSystemsText)
{
    PtyPair pty;
    SerialDevice device;
    ASSERT_FALSE(device.open(pty.path, 115200).failed());
    ASSERT_FALSE(device.writeAll("ping", 4).failed());
    EXPECT_EQ(pty.read(4), "ping");
    pty.closeMaster();
    const TransferError failed = device.writeAll("pong", 4);
    EXPECT_EQ(failed.operation, TransferError::Operation::WritePort);
    EXPECT_EQ(failed.target, pty.path);
    EXPECT_EQ(failed.errorNumber, EIO);
    EXPECT_EQ(failed.reason, QString::fromLocal8Bit(std::strerror(EIO)));
    EXPECT_TRUE(device.hasFailed());
    EXPECT_TRUE(device.writeAll("more", 4).failed()); // stays failed until opened again
}

// The port's own read notifier can fire after something else on the event
// loop has already taken the bytes that woke it (several ports on one loop
// make this common): the empty read it then makes is no failure of the device.
TEST(SerialDeviceRead, ANotifierThatFindsItsBytesAlreadyTakenIsNoFailure)
{
    PtyPair pty;
    ::fcntl(pty.slave(), F_SETFL, ::fcntl(pty.slave(), F_GETFL) | O_NONBLOCK);
    QByteArray takenFirst;
    QSocketNotifier thief(pty.slave(), QSocketNotifier::Read);
    QObject::connect(&thief, &QSocketNotifier::activated, [&] {
        char bytes[64];
        for (ssize_t n; (n = ::read(pty.slave(), bytes, sizeof bytes)) > 0;)
            takenFirst.append(bytes, n);
    });
    SerialDevice device;
    ASSERT_FALSE(device.open(pty.path, 115200).failed());
    for (int round = 0; round < 20 && !device.hasFailed(); ++round) {
        pty.write("OK");
        pollfd readable {device.handle(), POLLIN, 0};
        ASSERT_EQ(::poll(&readable, 1, 5000), 1);
        QCoreApplication::processEvents();
        device.readQueued(64);
    }
    EXPECT_FALSE(device.hasFailed()) << device.failure().reason.toStdString();
    EXPECT_FALSE(takenFirst.isEmpty()); // the race was run
    pty.closeMaster();
    for (int i = 0; i < 100 && !device.hasFailed(); ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_EQ(device.failure().errorNumber, EIO); // a real hang-up still is one
}
