#pragma once
// How received bytes are shown: as they came, or with each line prefixed by
// the time since Start ("[12.345] "), and with bytes that do not print (other
// than tab, CR and LF) shown as hex ("<1B>").

#include <QByteArray>
#include <QString>

struct ReceivedFormat {
    bool timestamps = false;
    bool hex = false;
};

// "[12.345] ": the time stamp that begins a line.
QString TimeStamp(qint64 msSinceStart);

// The bytes as display text. `atLineStart`: the first byte begins a line, so
// it gets a time stamp too. A zero byte shows as U+2400 when not in hex.
QString FormatReceived(const QByteArray& bytes, ReceivedFormat format, qint64 msSinceStart, bool atLineStart);
