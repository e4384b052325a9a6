#pragma once
// Received bytes as text for the log: 8-bit text, one character per byte, so a
// line split across two reads never breaks a character. A zero byte shows as
// U+2400 (the "NUL" symbol) instead of cutting off the rest.

#include <QByteArray>
#include <QString>

QString ReceivedText(const QByteArray& bytes);
