#pragma once
// The character format of the serial line: data bits, parity, stop bits and
// flow control. The window always uses 8 data bits, no parity, one stop bit
// and no flow control; the command-line sender can choose others.

#include <QSerialPort>
#include <QString>

#include <optional>

struct LineFormat {
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;

    // Bits a character takes on the wire: a start bit, the data bits, the
    // parity bit (if any) and the stop bits; 10 for 8N1.
    int bitsPerCharacter() const;

    friend bool operator==(const LineFormat&, const LineFormat&) = default;
};

// The words the command line takes: none|odd|even|mark|space, 5..8, 1|2,
// none|xonxoff|rtscts. Nothing for any other text.
[[nodiscard]] std::optional<QSerialPort::Parity> ParityFromName(const QString& name);
[[nodiscard]] std::optional<QSerialPort::DataBits> DataBitsFromName(const QString& name);
[[nodiscard]] std::optional<QSerialPort::StopBits> StopBitsFromName(const QString& name);
[[nodiscard]] std::optional<QSerialPort::FlowControl> FlowFromName(const QString& name);

// The same words back, for what a format is ("none", "8", "1", "xonxoff").
[[nodiscard]] QString ParityName(QSerialPort::Parity parity);
[[nodiscard]] QString DataBitsName(QSerialPort::DataBits dataBits);
[[nodiscard]] QString StopBitsName(QSerialPort::StopBits stopBits);
[[nodiscard]] QString FlowName(QSerialPort::FlowControl flow);
// The short form: data bits, parity's first letter, stop bits ("8N1", "7E2").
[[nodiscard]] QString LineFormatText(const LineFormat& format);
