#include "app/transfer/settingsfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

QString ChooseSettingsFolder(const SettingsPlace& place)
{
    if (place.programDirWritable && !place.installed)
        return place.programDir;
    const QString configHome = QDir::isAbsolutePath(place.xdgConfigHome)
        ? place.xdgConfigHome
        : QDir(place.home).filePath(QStringLiteral(".config"));
    return QDir::cleanPath(QDir(configHome).filePath(QLatin1String(SettingsFolderName)));
}

SettingsPlace SettingsPlaceOf(const QString& programDir)
{
    SettingsPlace place;
    place.programDir = programDir;
    // access() asks the kernel, so a read-only file system or a folder such as
    // /proc/self counts as not writable even for root.
    place.programDirWritable = ::access(QFile::encodeName(programDir).constData(), W_OK) == 0;
    place.installed = QFileInfo::exists(
        QDir(programDir).filePath(QStringLiteral("../share/applications/%1.desktop")
                                      .arg(QLatin1String(SettingsFolderName))));
    place.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    place.home = QDir::homePath();
    return place;
}

QString SettingsFolder()
{
    const SettingsPlace place = SettingsPlaceOf(QCoreApplication::applicationDirPath());
    const QString folder = ChooseSettingsFolder(place);
    if (folder != place.programDir)
        QDir().mkpath(folder);
    return folder;
}
