#include "app/transfer/receivedformat.h"

#include "app/transfer/receivedtext.h"

namespace {

bool prints(unsigned char byte)
{
    return (byte >= 0x20 && byte < 0x7f) || byte >= 0xa0 || byte == '\t' || byte == '\r' || byte == '\n';
}

} // namespace

QString TimeStamp(qint64 msSinceStart)
{
    return QStringLiteral("[%1.%2] ").arg(msSinceStart / 1000).arg(msSinceStart % 1000, 3, 10, QLatin1Char('0'));
}

QString FormatReceived(const QByteArray& bytes, ReceivedFormat format, qint64 msSinceStart, bool atLineStart)
{
    if (!format.timestamps && !format.hex)
        return ReceivedText(bytes);
    QString text;
    bool lineStart = atLineStart;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (lineStart && format.timestamps)
            text += TimeStamp(msSinceStart);
        if (format.hex && !prints(byte))
            text += QStringLiteral("<%1>").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        else
            text += ReceivedText(bytes.mid(i, 1));
        // A line ends at LF, or at a CR that no LF follows.
        lineStart = byte == '\n' || (byte == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
    }
    return text;
}
