#include "app/transfer/wiretime.h"

#include "app/transfer/pacingvalues.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

qint64 LongestPacket(const QString& path, bool blockMode, int dataSize)
{
    if (blockMode)
        return std::clamp(dataSize, 0, MaxDataSize);
    // Only a regular file can be read ahead: a pipe or FIFO opened a second
    // time would hand this scan bytes the transfer then never sends (and could
    // wait for a writer on the GUI thread). Its lines are not known: no warning.
    if (!QFileInfo(path).isFile())
        return 0;
    // The first 16 MiB tell enough about the line lengths; a larger file is not
    // read through on the GUI thread at Start.
    constexpr qint64 ScanLimit = 16 * 1024 * 1024;
    qint64 scanned = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    qint64 longest = 0;
    qint64 current = 0;
    char buffer[64 * 1024];
    for (qint64 got = file.read(buffer, sizeof buffer); got > 0; got = file.read(buffer, sizeof buffer)) {
        for (qint64 i = 0; i < got; ++i) {
            ++current;
            if (buffer[i] == '\n' || current == MaxDataSize) {
                longest = std::max(longest, current);
                current = 0;
            }
        }
        scanned += got;
        if (longest == MaxDataSize || scanned >= ScanLimit)
            break; // no packet is longer, or enough of the file was seen
    }
    return std::max(longest, current);
}

QString WireTimeWarning(qint64 packetBytes, qint64 baud, int gapMs, int bitsPerCharacter)
{
    if (baud <= 0 || packetBytes <= 0 || bitsPerCharacter <= 0)
        return {};
    const qint64 wireMs = (packetBytes * bitsPerCharacter * 1000 + baud - 1) / baud;
    if (wireMs <= gapMs)
        return {};
    return QStringLiteral("A packet of %1 bytes takes %2 ms on the wire at %3 baud, longer than the Time Gap "
                          "of %4 ms: the line sets the pace, about %5 bytes/s.")
        .arg(packetBytes)
        .arg(wireMs)
        .arg(baud)
        .arg(gapMs)
        .arg(baud / bitsPerCharacter);
}
