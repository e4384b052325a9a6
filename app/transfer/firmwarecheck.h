#pragma once
// Whether a firmware file is whole before it goes out. A file is Intel HEX
// when every non-empty line is a ':' record, Motorola S-records when every
// non-empty line is an S0..S9 record; any other file is of no known format
// and goes out unchecked, as it is.
//
// Lines end with a line feed; a carriage return before it and blanks or tabs
// at the end of a line are ignored (files written on Windows end in CR LF),
// and lines holding nothing else are skipped. A line belongs to a format by
// its first characters (':', or 'S' and a digit): a record damaged further on
// still makes the file that format, so its fault is named instead of the file
// going out unchecked. A blank or tab before the lead, or any line without
// it, makes the file one of no known format.
//
// The first fault is named by its line ("line 7: checksum 3F, computed 40",
// "line 12: byte count 10, line has 15": a field as the record writes it, in
// hex; the bytes the line holds counted in decimal), or "no end record". The address range is that of the data bytes of
// the sound records, with Intel HEX's extended segment (02) and linear (04)
// addresses applied.

#include "app/transfer/transfererror.h"

#include <QByteArray>
#include <QString>

#include <optional>

enum class FirmwareFormat { Raw, IntelHex, SRecord };

struct FirmwareCheck {
    FirmwareFormat format = FirmwareFormat::Raw;
    QString fault; // the first fault; empty when the file is whole (or of no known format)
    // The lowest and the highest address of a data byte; none without data.
    std::optional<quint64> firstAddress;
    std::optional<quint64> lastAddress;
    bool failed() const { return !fault.isEmpty(); }
};

// Checks a file fed in pieces of any size, so that a file of any length is
// checked in little memory.
class FirmwareScanner {
public:
    void feed(const char* data, qsizetype size);
    // A line that is no record was seen: the file is of no known format,
    // whatever follows.
    bool isRaw() const { return m_raw; }
    // The verdict once every byte was fed.
    FirmwareCheck finish();

private:
    void takeLine();
    std::optional<QString> checkIntelHex(const QByteArray& bytes);
    std::optional<QString> checkSRecord(int type, const QByteArray& bytes);
    void addData(quint64 address, qsizetype count);

    QByteArray m_line;      // the line so far, at most MaxLine bytes of it
    bool m_lineTooLong = false;
    qint64 m_lineNumber = 0;
    FirmwareCheck m_check;
    bool m_formatKnown = false; // the first record decided the format
    bool m_raw = false;         // a line of no record: the file is of no known format
    bool m_ended = false;       // the end record was read
    quint64 m_base = 0;         // Intel HEX: the extended address in force
};

// Checks the bytes of a whole file at once.
FirmwareCheck CheckFirmware(const QByteArray& contents);

// A file to be sent, read through once when it is a regular file: its size,
// its SHA-256 (when `hashed`) and its check. Without the hash, reading stops
// at the first line that is no record, so a large file of another kind costs
// next to nothing. A pipe, a FIFO, a device or standard input ("-") is not
// read ahead, as its bytes would then be gone for the transfer: its check is
// skipped.
struct FirmwareFile {
    bool readAhead = false;
    qint64 bytes = -1;
    QByteArray sha256; // in hex; empty when not hashed
    FirmwareCheck check;
    TransferError error; // reading failed: the transfer says so when it opens the file
};
FirmwareFile ReadFirmwareFile(const QByteArray& path, bool hashed = true);

// "Intel HEX", "S-record", "no known format".
QString FirmwareFormatName(FirmwareFormat format);
// "intel-hex", "s-record", "raw".
QString FirmwareFormatKey(FirmwareFormat format);
// "0x08000000-0x08003FFF"; empty without data.
QString AddressRangeText(const FirmwareCheck& check);
// The format with the range: "Intel HEX, addresses 0x08000000-0x08003FFF",
// "S-record" (no data), "no known format".
QString FormatAndRangeText(const FirmwareCheck& check);
