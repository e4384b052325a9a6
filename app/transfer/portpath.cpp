#include "app/transfer/portpath.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {

FileIdentity identityFrom(const struct stat& status)
{
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return {status.st_rdev, 0};
    return {status.st_dev, status.st_ino};
}

} // namespace

QString PortDevicePath(const QString& portName)
{
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]{0,5})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(portName);
    if (match.hasMatch())
        return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
    if (portName.isEmpty())
        return QStringLiteral("/dev/");
    if (portName.contains(QLatin1Char('/')))
        return QDir::isAbsolutePath(portName) ? portName : QDir::current().absoluteFilePath(portName);
    return QStringLiteral("/dev/") + portName;
}

std::optional<FileIdentity> IdentityOf(const QByteArray& path)
{
    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        return std::nullopt;
    return identityFrom(status);
}

std::optional<FileIdentity> IdentityOf(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return identityFrom(status);
}
