#pragma once
// The Parity, Byte Size and Stop Bits boxes are remembered only: the link
// always runs at 8 data bits, no parity and one stop bit. When the boxes say
// something else, Set Port tells the user so in one sentence in the log.

#include <QString>

// The sentence for the boxes' texts, or nothing when they agree with the
// link (an empty box says nothing either way).
QString LineFormatNotice(const QString& parity, const QString& byteSize, const QString& stopBits);
