#include "app/transfer/replywaitfile.h"

#include "app/transfer/besideconfig.h"
#include "app/transfer/escapedtext.h"
#include "app/transfer/replywait.h"
#include "app/transfer/wholenumber.h"

namespace {

const QString FileName = QStringLiteral("WaitForReply.txt");

} // namespace

ReplyWaitSetting LoadReplyWait(const QString& configPath)
{
    const QStringList lines = ReadLinesBeside(configPath, FileName);
    const std::optional<int> timeout = ToWholeNumber(lines.value(1));
    if (!timeout || *timeout < 1 || *timeout > MaxReplyTimeoutMs)
        return {{}, DefaultReplyTimeoutMs};
    return {UnescapeText(lines.value(0).toUtf8()), *timeout};
}

TransferError SaveReplyWait(const QString& configPath, const ReplyWaitSetting& setting)
{
    return WriteLinesBeside(configPath, FileName, {EscapeText(setting.text), QString::number(setting.timeoutMs)});
}
