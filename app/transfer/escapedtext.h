#pragma once
// Bytes written as C-style escaped text and back: how a text to wait for or
// to answer with is typed on a command line, and how the board's bytes are
// quoted in a message.

#include <QByteArray>
#include <QString>

// Undoes the escapes \n \r \t \0 \\ \" and \xHH; other text stays as it is.
QByteArray UnescapeText(const QByteArray& text);

// The bytes in double quotes: printable ASCII as is, \r \n \" \\ escaped, the
// rest as \xHH.
QString QuotedBytes(const QByteArray& bytes);
