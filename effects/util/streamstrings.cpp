#include "effects/util/streamstrings.h"

#include <QIODevice>
#include <QtEndian>

#include <cstdint>
#include <limits>

bool WriteString(QIODevice* Stream, const QByteArray& S)
{
    if (!Stream || S.size() > std::numeric_limits<int32_t>::max())
        return false;
    char count[4];
    qToLittleEndian<int32_t>(int32_t(S.size()), count);
    if (Stream->write(count, 4) != 4)
        return false;
    return S.isEmpty() || Stream->write(S) == S.size();
}

QByteArray ReadString(QIODevice* Stream, bool* ok)
{
    if (ok)
        *ok = false;
    if (!Stream)
        return QByteArray();
    // Peek first so that a bad record leaves the stream where it was.
    char countBytes[4];
    if (Stream->peek(countBytes, 4) != 4)
        return QByteArray();
    const int32_t count = qFromLittleEndian<int32_t>(countBytes);
    if (count < 0 || Stream->bytesAvailable() - 4 < count)
        return QByteArray();
    Stream->skip(4);
    QByteArray s = Stream->read(count);
    if (s.size() != count)
        return QByteArray(); // the device promised more than it delivered
    if (ok)
        *ok = true;
    return s;
}
