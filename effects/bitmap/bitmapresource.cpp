// Loading a bitmap resource. On this platform a module's bitmap resource is a
// BMP file: ModuleFile names a directory of BMP files or a binary Qt resource
// file (.rcc, mapped for the duration of the call and released afterwards);
// ResName is the file's path inside it, tried as given and with ".bmp"
// appended. An empty ModuleFile, or one that cannot be loaded, stands for the
// program itself, whose compiled-in Qt resources (":/") are searched instead.

#include "effects/bitmap/luxbitmap.h"

#include "effects/bitmap/bitmapstreamerror.h"
#include "effects/bitmap/bmpdecoder.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QResource>

namespace {

// A module opened as data: the folder its resources live in.
class ResourceModule {
public:
    explicit ResourceModule(const QString& moduleFile)
    {
        const QFileInfo info(moduleFile);
        if (moduleFile.isEmpty() || !info.exists())
            return;
        if (info.isDir()) {
            m_root = info.absoluteFilePath();
            return;
        }
        static QAtomicInt counter;
        const QString mapRoot = QStringLiteral("/luxresourcemodule%1").arg(counter.fetchAndAddRelaxed(1));
        if (QResource::registerResource(info.absoluteFilePath(), mapRoot)) {
            m_rccFile = info.absoluteFilePath();
            m_mapRoot = mapRoot;
            m_root = QLatin1Char(':') + mapRoot;
        }
    }
    ~ResourceModule()
    {
        if (!m_rccFile.isEmpty())
            QResource::unregisterResource(m_rccFile, m_mapRoot);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // The path of the named resource, or empty when the module has none. A
    // name is a path inside the module: one that leaves it ("../x", "/x") is
    // refused rather than looked up elsewhere.
    QString find(const QString& resName) const
    {
        if (resName.isEmpty())
            return QString();
        const QString inside = QDir::cleanPath(resName);
        if (QDir::isAbsolutePath(inside) || inside == QLatin1String("..") || inside.startsWith(QLatin1String("../")))
            throw BitmapStreamError(QStringLiteral("Bitmap resource name \"%1\" leaves the module %2").arg(resName, m_root));
        const QString base = m_root + QLatin1Char('/') + inside;
        for (const QString& path : {base, base + QStringLiteral(".bmp")})
            if (QFileInfo(path).isFile())
                return path;
        return QString();
    }

private:
    QString m_root = QStringLiteral(":");
    QString m_rccFile;
    QString m_mapRoot;
};

[[noreturn]] void refuse(const QString& path, const QString& reason)
{
    throw BitmapStreamError(QStringLiteral("Bitmap resource %1: %2").arg(path, reason));
}

} // namespace

void TluxBitmap::LoadFromResource(const QString& ModuleFile, const QString& ResName)
{
    const ResourceModule module(ModuleFile);
    const QString path = module.find(ResName);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, file.errorString());
    Assign(DecodeBmp(file.readAll(), QStringLiteral("Bitmap resource %1").arg(path)));
}
