// Loading a bitmap resource. On this platform a module's bitmap resource is a
// BMP file: ModuleFile names a directory of BMP files or a binary Qt resource
// file (.rcc, mapped for the duration of the call and released afterwards);
// ResName is the file's path inside it, tried as given and with ".bmp"
// appended. An empty ModuleFile, or one that cannot be loaded, stands for the
// program itself, whose compiled-in Qt resources (":/") are searched instead.

#include "effects/bitmap/luxbitmap.h"

#include "effects/bitmap/bitmapstreamerror.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QResource>
#include <QtEndian>

#include <climits>
#include <cstdint>
#include <cstring>

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

    // The path of the named resource, or empty when the module has none.
    QString find(const QString& resName) const
    {
        if (resName.isEmpty())
            return QString();
        const QString base = m_root + QLatin1Char('/') + resName;
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

// An uncompressed 32-bit BMP, alpha bytes kept; rows bottom-up for a positive
// height, top-down for a negative one. Null when the header is not that format.
QImage decode32BitBmp(const QByteArray& file, const QString& path)
{
    const auto* bytes = reinterpret_cast<const uchar*>(file.constData());
    const uint32_t pixelOffset = qFromLittleEndian<uint32_t>(bytes + 10);
    const uchar* header = bytes + 14;
    const int32_t width = qFromLittleEndian<int32_t>(header + 4);
    const int32_t height = qFromLittleEndian<int32_t>(header + 8);
    const uint32_t compression = qFromLittleEndian<uint32_t>(header + 16);
    if (compression != 0)
        return QImage();
    if (width <= 0 || height == 0 || height == INT32_MIN)
        refuse(path, QStringLiteral("picture size %1 x %2 is not valid").arg(width).arg(height));
    const int64_t rows = height < 0 ? -int64_t(height) : height;
    if (int64_t(width) * rows > INT32_MAX / 4)
        refuse(path, QStringLiteral("%1 x %2 pixels are more than a bitmap can hold").arg(width).arg(rows));
    const int64_t stride = int64_t(width) * 4;
    if (int64_t(pixelOffset) + stride * rows > file.size())
        refuse(path, QStringLiteral("the pixels need %1 bytes from offset %2 but the file has %3")
                         .arg(stride * rows)
                         .arg(pixelOffset)
                         .arg(file.size()));
    QImage image(width, int(rows), QImage::Format_ARGB32);
    if (image.isNull())
        refuse(path, QStringLiteral("no memory for %1 x %2 pixels").arg(width).arg(rows));
    for (int64_t y = 0; y < rows; ++y) {
        const int64_t stored = height > 0 ? rows - 1 - y : y;
        memcpy(image.scanLine(int(y)), bytes + pixelOffset + stored * stride, size_t(stride));
    }
    return image;
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
    const QByteArray data = file.readAll();

    // The file header (14 bytes), then the bitmap header whose first 4 bytes are
    // its size; the bit count is the 16-bit value at its offset 14.
    if (data.size() < 14 + 4 || data[0] != 'B' || data[1] != 'M')
        refuse(path, QStringLiteral("not a BMP file"));
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const uint32_t headerSize = qFromLittleEndian<uint32_t>(bytes + 14);
    if (headerSize < 12 || headerSize > uint32_t(data.size() - 14))
        refuse(path, QStringLiteral("bitmap header size %1 does not fit the file").arg(headerSize));
    const bool fullHeader = headerSize >= 40;
    const uint16_t bitCount = fullHeader ? qFromLittleEndian<uint16_t>(bytes + 14 + 14)
                                         : qFromLittleEndian<uint16_t>(bytes + 14 + 10);

    QImage picture;
    if (bitCount == 32 && fullHeader)
        picture = decode32BitBmp(data, path);
    if (picture.isNull()) {
        picture = QImage::fromData(data, "BMP");
        if (picture.isNull())
            refuse(path, QStringLiteral("the BMP data cannot be decoded"));
        // Only 32-bit pictures carry alpha; every other depth is opaque.
        if (bitCount != 32)
            picture = picture.convertToFormat(QImage::Format_RGB32);
    }
    Assign(picture);
}
