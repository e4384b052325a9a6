#include "app/transfer/portholder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isRunning(qint64 pid)
{
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

PortHolder holderFor(qint64 pid)
{
    return {pid, QString::fromLocal8Bit(readAll(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed())};
}

// The lock files serial programs leave: "LCK..ttyUSB0" in the usual lock
// folders, holding the pid as text (ASCII, maybe padded) on the first line.
std::optional<qint64> lockFilePid(const QString& devicePath)
{
    // Below /dev the rest of the path names the file, slashes made '_'
    // ("/dev/pts/3" is "LCK..pts_3", as Qt writes it).
    const QString inDev = QStringLiteral("/dev/");
    QString device = devicePath.startsWith(inDev) ? devicePath.mid(inDev.size()) : QFileInfo(devicePath).fileName();
    const QString name = QStringLiteral("LCK..") + device.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const QString& folder : {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QDir::tempPath()}) {
        const QByteArray text = readAll(folder + QLatin1Char('/') + name);
        bool ok = false;
        const qint64 pid = text.split('\n').value(0).trimmed().toLongLong(&ok);
        if (ok && isRunning(pid))
            return pid;
    }
    return std::nullopt;
}

// The first process in `procLocks` (the text of /proc/locks) holding a lock
// on the file with device numbers `devMajor`:`devMinor` and inode `inode`.
std::optional<qint64> LockingPid(const QByteArray& procLocks, unsigned devMajor, unsigned devMinor, quint64 inode)
{
    const QByteArray wanted = QStringLiteral("%1:%2:%3")
                                  .arg(devMajor, 2, 16, QLatin1Char('0'))
                                  .arg(devMinor, 2, 16, QLatin1Char('0'))
                                  .arg(inode)
                                  .toLatin1();
    // "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF"; waiters ("1: -> FLOCK ...") hold nothing.
    for (const QByteArray& line : procLocks.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields[1] == "->")
            continue;
        if (fields[5] == wanted) {
            bool ok = false;
            const qint64 pid = fields[4].toLongLong(&ok);
            if (ok)
                return pid;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<PortHolder> FindPortHolder(const QString& devicePath)
{
    struct stat status {};
    if (::stat(QFile::encodeName(devicePath).constData(), &status) == 0) {
        const std::optional<qint64> pid = LockingPid(readAll(QStringLiteral("/proc/locks")), major(status.st_dev),
                                                     minor(status.st_dev), status.st_ino);
        if (pid && isRunning(*pid))
            return holderFor(*pid);
    }
    if (const std::optional<qint64> pid = lockFilePid(devicePath))
        return holderFor(*pid);
    return std::nullopt;
}

QString HolderText(const PortHolder& holder)
{
    return holder.name.isEmpty() ? QStringLiteral("held by process %1").arg(holder.pid)
                                 : QStringLiteral("held by process %1 (%2)").arg(holder.pid).arg(holder.name);
}
