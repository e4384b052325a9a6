#pragma once
// A serial port as the transfer engine uses it: opened exclusively in raw mode
// at 8 data bits, no parity, one stop bit; reads that never wait; writes that
// return once the driver has taken every byte; and an honest error contract:
// a failed open, a failed or short write, or a device that vanished comes back
// as a TransferError with the system's reason, never swallowed.

#include "app/transfer/transfererror.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

class SerialDevice : public QObject {
    Q_OBJECT
public:
    explicit SerialDevice(QObject* parent = nullptr);
    ~SerialDevice() override;

    // The device for a port name: "COMn" is /dev/ttyS(n-1), a name without a
    // slash lives in /dev, anything else is a path. No length limit.
    static QString DevicePathFor(const QString& portName);

    // Closes what is open, then opens `portName` at `baudRate`. RTS and then DTR
    // are raised; a device without modem lines (a pseudo-terminal) is fine.
    // Empty on success; OpenPort or SetUpPort when it failed.
    TransferError open(const QString& portName, qint32 baudRate);
    void close();
    bool isOpen() const;

    // What the driver holds for reading right now, at most `maxBytes`; never
    // waits. A read that finds the device gone shows in failure().
    QByteArray readQueued(qint64 maxBytes);

    // Writes all `size` bytes and waits until the driver has taken them.
    // Empty on success; WritePort (or the earlier failure of the link) otherwise.
    TransferError writeAll(const char* data, qint64 size);

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
    void markFailed(TransferError::Operation operation);
    TransferError busyOr(const TransferError& refused) const;
    TransferError portError(TransferError::Operation operation, int errnoAfterCall) const;

    QSerialPort m_port;
    QString m_devicePath;
    TransferError m_failure;
    bool m_writing = false; // inside writeAll()
};
