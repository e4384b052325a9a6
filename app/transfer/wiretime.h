#pragma once
// Whether the line can carry a packet within the Time Gap: a byte takes a
// start bit, its data bits, the parity bit if any and the stop bits on the
// wire (10 bits at 8N1). When the longest
// packet takes longer than the gap, the driver's queue grows and the gap no
// longer paces anything: the line's speed does.

#include <QString>

// The longest packet the file gives: the Data Size in block mode, the longest
// line (with its line feed, at most MaxDataSize) in line mode.
qint64 LongestPacket(const QString& path, bool blockMode, int dataSize);

// The warning for a packet of `packetBytes` at `baud` with `gapMs` between
// packets and `bitsPerCharacter` bits a byte, with the rate the line allows;
// empty when the packet fits the gap.
QString WireTimeWarning(qint64 packetBytes, qint64 baud, int gapMs, int bitsPerCharacter = 10);
