#include "app/transfer/wiretime.h"

#include "app/transfer/pacingvalues.h"

#include <QFile>

#include <algorithm>

qint64 LongestPacket(const QString& path, bool blockMode, int dataSize)
{
    if (blockMode)
        return std::clamp(dataSize, 0, MaxDataSize);
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
        if (longest == MaxDataSize)
            break; // no packet is longer
    }
    return std::max(longest, current);
}

QString WireTimeWarning(qint64 packetBytes, qint64 baud, int gapMs)
{
    if (baud <= 0 || packetBytes <= 0)
        return {};
    const qint64 wireMs = (packetBytes * 10 * 1000 + baud - 1) / baud;
    if (wireMs <= gapMs)
        return {};
    return QStringLiteral("A packet of %1 bytes takes %2 ms on the wire at %3 baud, longer than the Time Gap "
                          "of %4 ms: the line sets the pace, about %5 bytes/s.")
        .arg(packetBytes)
        .arg(wireMs)
        .arg(baud)
        .arg(gapMs)
        .arg(baud / 10);
}
