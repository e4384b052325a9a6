#pragma once
// Bytes written as C-style escaped text and back: how a text to wait for or
// to answer with is typed on a command line, and how the board's bytes are
// quoted in a message.

#include <QByteArray>
#include <QString>

// The value of a hex digit of either case, or -1 for any other character.
int HexDigitValue(char c);

// Undoes the escapes \n \r \t \0 \\ \" and \xHH; other text stays as it is.
QByteArray UnescapeText(const QByteArray& text);

// The bytes as escaped text: printable ASCII as is, \r \n \t \" \\ escaped,
// the rest as \xHH; UnescapeText() gives the bytes back.
QString EscapeText(const QByteArray& bytes);

// The escaped text in double quotes, for messages.
QString QuotedBytes(const QByteArray& bytes);
