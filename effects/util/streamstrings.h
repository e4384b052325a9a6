#pragma once
// Length-prefixed 8-bit strings in a stream: a signed 32-bit little-endian byte
// count followed by exactly that many bytes, nothing in between, no terminator.

#include <QByteArray>

class QIODevice;

// Writes the count and the bytes. Returns false (and writes nothing) when the
// device is null or the string is too long for a 32-bit count, and false when
// the device accepted fewer bytes than asked.
bool WriteString(QIODevice* Stream, const QByteArray& S);

// Reads one string. A missing or negative count, or a stream that ends before the
// count is satisfied, gives an empty string with *ok false and consumes nothing:
// the stream stays at the bad record. The count is checked against what the
// device holds before any memory is reserved for it.
QByteArray ReadString(QIODevice* Stream, bool* ok = nullptr);
