#pragma once
// A serial port as the transfer engine uses it: opened exclusively in raw mode
// at 8 data bits, no parity, one stop bit; reads that never wait; writes that
// return once the driver has taken every byte; and an honest error contract:
// a failed or short write, or a device that vanished, is reported with the
// system's error text, never swallowed.

#include <QObject>
#include <QSerialPort>
#include <QString>

class SerialDevice : public QObject {
    Q_OBJECT
public:
    enum class OpenResult { Opened, OpenFailed, SettingsRejected };

    explicit SerialDevice(QObject* parent = nullptr);
    ~SerialDevice() override;

    // The device for a port name: "COMn" is /dev/ttyS(n-1), a name without a
    // slash lives in /dev, anything else is a path. No length limit.
    static QString DevicePathFor(const QString& portName);

    // Closes what is open, then opens `portName` at `baudRate`. RTS and then DTR
    // are raised; a device without modem lines (a pseudo-terminal) is fine.
    OpenResult open(const QString& portName, qint32 baudRate);
    void close();
    bool isOpen() const;

    // What the driver holds for reading right now, at most `maxBytes`; never waits.
    QByteArray readQueued(qint64 maxBytes);

    // Writes all `size` bytes and waits until the driver has taken them.
    // False on an error or a write that does not complete: see errorText().
    bool writeAll(const char* data, qint64 size);

    // True once a read or write failed or the device went away since the open.
    bool hasFailed() const { return m_failed; }
    // The system's text for the last failure (open, settings, read or write).
    QString errorText() const { return m_errorText; }

    // The open file descriptor, or -1.
    int handle() const;

signals:
    // Emitted once when the open link breaks (device gone, read or write error).
    void failed();

private:
    void onPortError(QSerialPort::SerialPortError error);
    void markFailed(const QString& fallbackText);
    QString systemErrorText(const QString& fallbackText) const;

    QSerialPort m_port;
    bool m_failed = false;
    QString m_errorText;
};
