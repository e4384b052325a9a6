#pragma once
// The remembered reply wait of the window: "WaitForReply.txt" in the folder of
// "Config.dat", the text to wait for (escaped) on the first line and the
// timeout in milliseconds on the second. No file, or an empty text: no waiting.

#include "app/transfer/transfererror.h"

#include <QByteArray>
#include <QString>

struct ReplyWaitSetting {
    QByteArray text;
    int timeoutMs = 0;
};

// The setting kept beside `configPath`; a missing file or a bad timeout gives
// no waiting and the default timeout.
ReplyWaitSetting LoadReplyWait(const QString& configPath);
// Writes the setting beside `configPath`; a SaveFile failure when it cannot.
TransferError SaveReplyWait(const QString& configPath, const ReplyWaitSetting& setting);
