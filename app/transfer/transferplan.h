#pragma once
// What sending a file will take, worked out without a port: the packets the
// transfer engine makes of it (a line each, or blocks of Data Size bytes that
// fall back to a line when less than a block is left, read by the same
// reader), the bytes, their time on the wire, and the whole time from Start
// until the last byte has left with the Time Gap between packets.
//
// The engine's ticks come a Time Gap apart, the first one a Time Gap after
// Start; a packet that takes longer on the wire than the gap holds the next
// until the tick after it has left. Waiting for the board's answer, the next
// packet goes a Time Gap after the last or once the last has left, whichever
// is later: the least time, with a board that answers at once.

#include "app/transfer/transfererror.h"

#include <QByteArray>

struct PlanSettings {
    bool blockMode = false;
    int dataSize = 512; // bytes of a block in block mode
    int gapMs = 50;     // 0 goes as 1, as at Start
    qint64 baud = 9600;
    int bitsPerCharacter = 10;
    bool waitsForReply = false;
};

struct TransferPlan {
    qint64 packets = 0;
    qint64 bytes = 0;
    double wireSeconds = 0;
    double wholeSeconds = 0;
    TransferError error; // the file could not be opened or read
};

// Plans the sending of the file at `path` (bytes as the system names it).
TransferPlan PlanTransfer(const QByteArray& path, const PlanSettings& settings);
