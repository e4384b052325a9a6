#include "app/transfer/stalelock.h"

#include "app/transfer/sidefile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <unistd.h>

QString LockFileName(const QString& devicePath)
{
    QString name = devicePath.startsWith(QLatin1Char('/')) ? devicePath.mid(5) : devicePath;
    return QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
}

void RemoveStaleLockFiles(const QString& devicePath)
{
    const QString name = LockFileName(devicePath);
    for (const QString& folder : {QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
                                  QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
                                  QDir::tempPath(), QStringLiteral("/run/lock")}) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!QFile::exists(path))
            continue;
        // Written as ASCII ("  1234\n", as most serial tools do) or as Qt
        // writes it (the id, then the program and the host).
        bool ok = false;
        const qint64 pid = ReadSideFile(path).value_or(QByteArray()).split('\n').value(0).trimmed().toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(path);
    }
}
