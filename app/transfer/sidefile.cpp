#include "app/transfer/sidefile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::nullopt_t ignored(const QString& path, const QString& why)
{
    std::fprintf(stderr, "%s: %s; ignored\n", QFile::encodeName(path).constData(), why.toLocal8Bit().constData());
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> ReadSideFile(const QString& path, qint64 maxBytes)
{
    if (path.isEmpty())
        return std::nullopt;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? std::nullopt : ignored(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status {};
    QByteArray bytes;
    QString problem;
    if (::fstat(fd, &status) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(status.st_mode))
        problem = QStringLiteral("not a regular file");
    else if (status.st_size > maxBytes)
        problem = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    else {
        // One byte more than allowed shows a file that grew meanwhile.
        bytes.resize(maxBytes + 1);
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                problem = QString::fromLocal8Bit(std::strerror(errno));
                break;
            }
            if (n == 0)
                break;
            got += n;
        }
        bytes.truncate(got);
        if (problem.isEmpty() && got > maxBytes)
            problem = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    }
    ::close(fd);
    if (!problem.isEmpty())
        return ignored(path, problem);
    return bytes;
}
