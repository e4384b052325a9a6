#include "app/transfer/receivedtext.h"

QString ReceivedText(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.replace(QChar(0), QChar(0x2400));
    return text;
}
