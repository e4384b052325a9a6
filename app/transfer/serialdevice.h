#pragma once
// A serial port as the transfer engine uses it: opened exclusively in raw mode
// in the line format asked for (8 data bits, no parity, one stop bit unless
// told otherwise); reads that never wait; writes through Qt that never wait
// either (what the driver does not take at once stays queued and goes out from
// the event loop; the transfer's packets go through a PacketSender on the
// descriptor instead); and an honest error contract: a failed open, a failed
// write or a device that vanished comes back as a TransferError with the
// system's reason, never swallowed.
// What the board sends is buffered up to a bound; beyond it the bytes wait in
// the driver, which holds the board back, so a flood costs no memory and
// loses nothing.

#include "app/transfer/lineformat.h"
#include "app/transfer/transfererror.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

class SerialDevice : public QObject {
    Q_OBJECT
public:
    explicit SerialDevice(QObject* parent = nullptr);
    ~SerialDevice() override;

    // The device for a port name (PortDevicePath): "COMn" is /dev/ttyS(n-1),
    // a name without a slash lives in /dev, anything else is a path from the
    // working folder. No length limit.
    static QString DevicePathFor(const QString& portName);

    // Closes what is open, then opens `portName` at `baudRate` in `format`.
    // RTS and then DTR are raised; a device without modem lines (a
    // pseudo-terminal) is fine. Empty on success; OpenPort or SetUpPort when
    // it failed.
    TransferError open(const QString& portName, qint32 baudRate, const LineFormat& format = {});
    void close();
    bool isOpen() const;

    // What the driver holds for reading right now, at most `maxBytes`; never
    // waits. A read that finds the device gone shows in failure().
    QByteArray readQueued(qint64 maxBytes);

    // Queues all `size` bytes and hands the driver what it takes now, without
    // waiting. Empty on success; WritePort (or the earlier failure of the link)
    // otherwise.
    TransferError writeAll(const char* data, qint64 size);
    // Bytes written but not yet taken by the driver.
    qint64 queuedBytes() const;

    // The failure of the open link since it was opened (device gone, read or
    // write error); empty while the link is sound.
    const TransferError& failure() const { return m_failure; }
    bool hasFailed() const { return m_failure.failed(); }

    // The open file descriptor, or -1.
    int handle() const;

signals:
    // The board sent something (the bytes wait for readQueued()).
    void readyRead();
    // Emitted once when the open link breaks (device gone, read or write error).
    void failed();

private:
    void onPortError(QSerialPort::SerialPortError error);
    void markFailed(TransferError::Operation operation, int knownErrno = 0);
    int lineFailure() const;
    TransferError busyOr(const TransferError& refused) const;
    TransferError portError(TransferError::Operation operation, int errnoAfterCall) const;

    QSerialPort m_port;
    QString m_devicePath;
    int m_bitsPerCharacter = LineFormat {}.bitsPerCharacter();
    TransferError m_failure;
    bool m_writing = false; // inside writeAll()
};
