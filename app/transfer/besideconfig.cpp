#include "app/transfer/besideconfig.h"

#include "app/transfer/sidefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString PathBesideConfig(const QString& configPath, const QString& fileName)
{
    return QFileInfo(configPath).dir().filePath(fileName);
}

QStringList ReadLinesBeside(const QString& configPath, const QString& fileName)
{
    if (configPath.isEmpty())
        return {};
    const std::optional<QByteArray> bytes = ReadSideFile(PathBesideConfig(configPath, fileName));
    if (!bytes)
        return {};
    QStringList lines = QString::fromUtf8(*bytes).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TransferError WriteLinesBeside(const QString& configPath, const QString& fileName, const QStringList& lines)
{
    if (configPath.isEmpty())
        return {};
    // Written whole or not at all: a crash never leaves half a path behind.
    const QString path = PathBesideConfig(configPath, fileName);
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Text);
    for (const QString& line : lines)
        written = written && file.write(line.toUtf8() + '\n') >= 0;
    if (written && file.commit())
        return {};
    return {TransferError::Operation::SaveFile, path, file.errorString(), 0};
}
