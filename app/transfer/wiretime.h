#pragma once
// Whether the line can carry a packet within the Time Gap: a byte takes 10
// bits on the wire (start bit, 8 data bits, stop bit). When the longest
// packet takes longer than the gap, the driver's queue grows and the gap no
// longer paces anything: the line's speed does.

#include <QString>

// The longest packet the file gives: the Data Size in block mode, the longest
// line (with its line feed, at most MaxDataSize) in line mode.
qint64 LongestPacket(const QString& path, bool blockMode, int dataSize);

// The warning for a packet of `packetBytes` at `baud` with `gapMs` between
// packets, with the rate the line allows; empty when the packet fits the gap.
QString WireTimeWarning(qint64 packetBytes, qint64 baud, int gapMs);
