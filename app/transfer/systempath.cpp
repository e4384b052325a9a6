#include "app/transfer/systempath.h"

#include <QFile>
#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool exists(const QByteArray& path)
{
    struct stat status {};
    return ::lstat(path.constData(), &status) == 0;
}

// The one entry of `folder` shown as `name`, or nothing when none or several are.
QByteArray entryShownAs(const QByteArray& folder, const QString& name)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "/" : folder.constData());
    if (!dir)
        return {};
    QByteArray found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (QFile::decodeName(entry->d_name) == name && ++matches == 1)
            found = entry->d_name;
    }
    ::closedir(dir);
    return matches == 1 ? found : QByteArray();
}

} // namespace

QByteArray SystemPath(const QString& shown)
{
    const QByteArray encoded = QFile::encodeName(shown);
    if (exists(encoded) || !shown.startsWith(QLatin1Char('/')))
        return encoded;
    QByteArray path;
    const QStringList parts = shown.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QByteArray next = path + '/' + QFile::encodeName(part);
        if (!exists(next)) {
            const QByteArray entry = entryShownAs(path, part);
            if (entry.isEmpty())
                return encoded;
            next = path + '/' + entry;
        }
        path = next;
    }
    return path;
}
