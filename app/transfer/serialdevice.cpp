#include "app/transfer/serialdevice.h"

#include "app/transfer/lineformatcheck.h"
#include "app/transfer/outputdrain.h"
#include "app/transfer/portholder.h"
#include "app/transfer/portpath.h"
#include "app/transfer/stalelock.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>

namespace {

// What the board sent, held before it is shown; beyond this it waits in the driver.
constexpr qint64 ReadBufferLimit = 1024 * 1024;

// The errno a QSerialPort error stands for, when the one left after the call
// has been overwritten by Qt's own clean-up.
int errnoFor(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return ENOENT;
    case QSerialPort::PermissionError: return EACCES;
    case QSerialPort::OpenError: return EBUSY;
    case QSerialPort::TimeoutError: return ETIMEDOUT;
    case QSerialPort::UnsupportedOperationError: return EINVAL;
    default: return EIO;
    }
}

} // namespace

SerialDevice::SerialDevice(QObject* parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialDevice::onPortError);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialDevice::readyRead);
    m_port.setReadBufferSize(ReadBufferLimit);
}

SerialDevice::~SerialDevice()
{
    close();
}

QString SerialDevice::DevicePathFor(const QString& portName)
{
    return PortDevicePath(portName);
}

TransferError SerialDevice::open(const QString& portName, qint32 baudRate, const LineFormat& format)
{
    close();
    m_failure = {};
    m_devicePath = DevicePathFor(portName);

    if (portName.isEmpty())
        return TransferError::FromErrno(TransferError::Operation::OpenPort, m_devicePath, ENOENT);
    m_port.setPortName(m_devicePath);
    RemoveStaleLockFiles(m_devicePath);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const TransferError refused = portError(TransferError::Operation::OpenPort, errno);
        return refused.errorNumber == EACCES || refused.errorNumber == EBUSY ? busyOr(refused) : refused;
    }
    // Qt's lock file keeps other Qt programs away; flock() tells every other
    // program that takes the same care.
    if (::flock(m_port.handle(), LOCK_EX | LOCK_NB) != 0) {
        const int lockErrno = errno;
        m_port.close();
        return busyOr(TransferError::FromErrno(TransferError::Operation::OpenPort, m_devicePath, lockErrno));
    }
    const bool lineSet = baudRate > 0 && m_port.setBaudRate(baudRate) && m_port.setDataBits(format.dataBits)
        && m_port.setParity(format.parity) && m_port.setStopBits(format.stopBits)
        && m_port.setFlowControl(format.flow);
    // A format the driver did not take is refused with what it kept: the
    // board would get another format than the one chosen.
    const QString notKept = baudRate > 0 ? FormatNotKept(m_port.handle(), format) : QString();
    if (!lineSet || !notKept.isEmpty()) {
        TransferError refused = baudRate > 0
            ? portError(TransferError::Operation::SetUpPort, errno)
            : TransferError::FromErrno(TransferError::Operation::SetUpPort, m_devicePath, EINVAL);
        if (!notKept.isEmpty())
            refused = {TransferError::Operation::SetUpPort, m_devicePath, notKept, EINVAL};
        m_port.close();
        return refused;
    }
    // A pseudo-terminal has no modem lines and refuses these: not a failure.
    m_port.setRequestToSend(true);
    m_port.setDataTerminalReady(true);
    m_port.clearError();
    m_failure = {};
    m_bitsPerCharacter = format.bitsPerCharacter();
    return {};
}

void SerialDevice::close()
{
    if (m_port.isOpen()) {
        // The last bytes leave at the line's speed before its saved settings
        // are put back.
        DrainOutput(m_port.handle(), m_port.baudRate(), m_bitsPerCharacter);
        m_port.close(); // closing the descriptor also drops the flock
    }
    m_port.clearError();
}

bool SerialDevice::isOpen() const
{
    return m_port.isOpen();
}

int SerialDevice::handle() const
{
    return m_port.isOpen() ? m_port.handle() : -1;
}

QByteArray SerialDevice::readQueued(qint64 maxBytes)
{
    if (!m_port.isOpen() || maxBytes <= 0)
        return {};
    if (m_port.bytesAvailable() < maxBytes) {
        // Pulls in what the driver holds now; with nothing there it returns at once.
        m_port.waitForReadyRead(0);
        if (m_port.error() == QSerialPort::TimeoutError)
            m_port.clearError();
    }
    return m_port.read(std::min(maxBytes, m_port.bytesAvailable()));
}

TransferError SerialDevice::writeAll(const char* data, qint64 size)
{
    if (m_failure)
        return m_failure;
    if (!m_port.isOpen()) {
        m_failure = TransferError::FromErrno(TransferError::Operation::WritePort, m_devicePath, EBADF);
        emit failed();
        return m_failure;
    }
    if (size <= 0)
        return {};
    const QScopedValueRollback<bool> writing(m_writing, true);
    if (m_port.write(data, size) != size) {
        markFailed(TransferError::Operation::WritePort);
        return m_failure;
    }
    // Hands the driver what it takes now; the rest goes out from the event loop.
    m_port.flush();
    return m_failure;
}

qint64 SerialDevice::queuedBytes() const
{
    return m_port.isOpen() ? m_port.bytesToWrite() : 0;
}

void SerialDevice::onPortError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        if (!m_port.isOpen())
            break;
        // A write the driver cannot take now (the board sent XOFF, or its
        // buffer is full) is a pause: the bytes stay queued and go once it
        // takes them again; the stall limit ends a pause that lasts too long.
        if (error != QSerialPort::ReadError && m_port.errorString() == QString::fromLocal8Bit(std::strerror(EAGAIN))) {
            m_port.clearError();
            break;
        }
        // A device that went away is found by whatever touched it: a failure
        // while writeAll() waits belongs to the write.
        if (error == QSerialPort::WriteError || m_writing) {
            markFailed(TransferError::Operation::WritePort);
            break;
        }
        // Qt's read notifier takes an empty read for an error and names it
        // with whatever errno was left over. A raw line reads empty when the
        // bytes that woke the notifier were taken first (several ports on one
        // event loop make that common), so only a line the driver reports
        // hung up or broken has failed; reading again re-arms the notifier.
        if (const int broken = lineFailure())
            markFailed(TransferError::Operation::ReadPort, broken);
        else
            m_port.clearError();
        break;
    default:
        // Timeouts of non-waiting reads, modem lines a device does not have and
        // open failures (reported by open()) do not break an open link.
        break;
    }
}

// The errno of a line the driver reports broken: the line settings cannot be
// read, or poll() sees a hang-up or an error (a hung-up terminal reads as
// "Input/output error"). 0 while the line is sound.
int SerialDevice::lineFailure() const
{
    const int fd = m_port.handle();
    termios line {};
    if (::tcgetattr(fd, &line) != 0)
        return errno;
    pollfd state {fd, POLLIN, 0};
    if (::poll(&state, 1, 0) < 0)
        return errno;
    if (state.revents & POLLNVAL)
        return EBADF;
    return state.revents & (POLLHUP | POLLERR) ? EIO : 0;
}

// Qt reports a hung-up terminal (read returns 0) with a stale errno; asking the
// driver for the line settings gives the real reason, such as "Input/output error".
// `knownErrno`, when given, is the reason already found.
void SerialDevice::markFailed(TransferError::Operation operation, int knownErrno)
{
    if (m_failure)
        return;
    const int errnoAfterCall = errno;
    termios line {};
    if (knownErrno != 0)
        m_failure = TransferError::FromErrno(operation, m_devicePath, knownErrno);
    else if (m_port.isOpen() && ::tcgetattr(m_port.handle(), &line) != 0)
        m_failure = TransferError::FromErrno(operation, m_devicePath, errno);
    else
        m_failure = portError(operation, errnoAfterCall);
    emit failed();
}

// A device that another process has locked is busy, whatever Qt made of it
// ("Permission error while locking the device"): the reason names the holder.
TransferError SerialDevice::busyOr(const TransferError& refused) const
{
    const std::optional<PortHolder> holder = FindPortHolder(m_devicePath);
    if (!holder)
        return refused;
    TransferError busy = TransferError::FromErrno(TransferError::Operation::OpenPort, m_devicePath, EBUSY);
    busy.reason += QStringLiteral(": ") + HolderText(*holder);
    return busy;
}

// Qt's text for the port's last error, with the errno it came from: the one
// left after the call when its text matches, otherwise the one Qt's error stands for.
TransferError SerialDevice::portError(TransferError::Operation operation, int errnoAfterCall) const
{
    if (m_port.error() == QSerialPort::TimeoutError)
        return TransferError::FromErrno(operation, m_devicePath, ETIMEDOUT);
    const QString text = m_port.errorString();
    const bool errnoMatches = errnoAfterCall != 0
        && text == QString::fromLocal8Bit(std::strerror(errnoAfterCall));
    return {operation, m_devicePath, text, errnoMatches ? errnoAfterCall : errnoFor(m_port.error())};
}
