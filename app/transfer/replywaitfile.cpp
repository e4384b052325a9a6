#include "app/transfer/replywaitfile.h"

#include "app/transfer/escapedtext.h"
#include "app/transfer/replywait.h"
#include "app/transfer/wholenumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString ReplyWaitPathBeside(const QString& configPath)
{
    return QFileInfo(configPath).dir().filePath(QStringLiteral("WaitForReply.txt"));
}

ReplyWaitSetting LoadReplyWait(const QString& path)
{
    ReplyWaitSetting setting {{}, DefaultReplyTimeoutMs};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return setting;
    const QList<QByteArray> lines = file.readAll().split('\n');
    const std::optional<int> timeout = ToWholeNumber(QString::fromUtf8(lines.value(1)));
    if (!timeout || *timeout < 1 || *timeout > MaxReplyTimeoutMs)
        return setting;
    setting.text = UnescapeText(lines.value(0));
    setting.timeoutMs = *timeout;
    return setting;
}

bool SaveReplyWait(const QString& path, const ReplyWaitSetting& setting)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(EscapeText(setting.text).toUtf8() + '\n' + QByteArray::number(setting.timeoutMs) + '\n');
    return file.commit();
}
