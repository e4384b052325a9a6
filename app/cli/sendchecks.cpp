#include "app/cli/sendchecks.h"

#include "app/transfer/portpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file as the file system knows it: its identity once it exists, otherwise
// its absolute path with the folder's links resolved.
struct FileKey {
    std::optional<FileIdentity> identity;
    QString path;
    bool operator==(const FileKey& other) const
    {
        return identity || other.identity ? identity == other.identity : path == other.path;
    }
};

FileKey keyOf(const QString& path)
{
    if (std::optional<FileIdentity> identity = IdentityOf(QFile::encodeName(path)))
        return {identity, {}};
    const QFileInfo file(path);
    const QString folder = file.absoluteDir().canonicalPath();
    return {std::nullopt, (folder.isEmpty() ? file.absolutePath() : folder) + QLatin1Char('/') + file.fileName()};
}

// The file being sent, as opened: standard input for "-". Nothing when it
// cannot be opened (the transfer says so itself) or is a character device
// (a terminal or /dev/null, which a capture does not clobber).
std::optional<FileIdentity> sentFileIdentity(const QByteArray& path, bool* regular = nullptr)
{
    const int fd = path == "-" ? STDIN_FILENO : ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    const std::optional<FileIdentity> identity = IdentityOf(fd);
    if (fd != STDIN_FILENO)
        ::close(fd);
    if (known && regular)
        *regular = S_ISREG(status.st_mode);
    if (!known || S_ISCHR(status.st_mode))
        return std::nullopt;
    return identity;
}

} // namespace

std::optional<QString> SeveralPortsMistake(const CliArguments& arguments)
{
    // Checked on the opened file: its name may not be text, and a link may
    // lead anywhere.
    bool regular = true;
    sentFileIdentity(arguments.filePath, &regular);
    if (arguments.filePath == "-" || !regular)
        return QStringLiteral("with several ports FILE must be a regular file, which every board reads "
                              "from its start");
    QList<FileKey> devices;
    for (const QString& port : arguments.ports) {
        const QString device = PortDevicePath(port);
        const std::optional<FileIdentity> identity = IdentityOf(QFile::encodeName(device));
        const FileKey key = identity ? FileKey {identity, {}} : FileKey {std::nullopt, device};
        if (devices.contains(key))
            return QStringLiteral("--port %1 is given twice").arg(port);
        devices << key;
    }
    return std::nullopt;
}

std::optional<QString> CaptureMistake(const CliArguments& arguments, const QStringList& ports,
                                      const QStringList& capturePaths)
{
    const std::optional<FileIdentity> sent = sentFileIdentity(arguments.filePath);
    QList<FileKey> keys;
    for (qsizetype i = 0; i < capturePaths.size(); ++i) {
        const FileKey key = keyOf(capturePaths[i]);
        if (sent && key.identity == sent)
            return QStringLiteral("--capture %1 is the file being sent").arg(capturePaths[i]);
        if (const qsizetype other = keys.indexOf(key); other >= 0)
            return QStringLiteral("--capture %1: ports %2 and %3 would share it")
                .arg(capturePaths[i], ports.value(other), ports.value(i));
        keys << key;
    }
    return std::nullopt;
}
