#pragma once
// Reading little-endian records from a QIODevice with every length checked
// against what the device holds before anything is allocated, and with the
// device put back where the record started when reading is abandoned.

#include "effects/bitmap/bitmapstreamerror.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdint>

namespace luxstream {

// Throws BitmapStreamError unless Stream is open for reading.
void requireReadable(QIODevice* Stream, const char* what);
// Throws BitmapStreamError unless Stream is open for writing.
void requireWritable(QIODevice* Stream, const char* what);

// Until commit(), destruction puts the device back at the position it had on
// construction: by seeking on random-access devices, by rolling back a read
// transaction on sequential ones (unless the caller already runs one).
class ReadGuard {
public:
    explicit ReadGuard(QIODevice* device);
    ~ReadGuard();
    ReadGuard(const ReadGuard&) = delete;
    ReadGuard& operator=(const ReadGuard&) = delete;
    void commit();

private:
    QIODevice* m_device;
    qint64 m_start = 0;
    bool m_transaction = false;
    bool m_done = false;
};

// Reads the fields of one record; `what` names the record in error messages.
class RecordReader {
public:
    RecordReader(QIODevice* device, const char* what) : m_device(device), m_what(what) {}

    int32_t int32(const char* field);
    // A 4-byte length and that many 8-bit characters.
    QByteArray name();
    // Exactly count bytes; refused before allocating when the device holds fewer.
    QByteArray bytes(qint64 count, const char* field);
    qint64 available() const { return m_device->bytesAvailable(); }

    [[noreturn]] void fail(const QString& reason) const;

private:
    QIODevice* m_device;
    const char* m_what;
};

void writeInt32(QIODevice* Stream, int32_t value, const char* what);
void writeBytes(QIODevice* Stream, const char* data, qint64 count, const char* what);
// A 4-byte length and the name's characters as 8-bit text (Latin-1).
void writeName(QIODevice* Stream, const QString& name, const char* what);

} // namespace luxstream
