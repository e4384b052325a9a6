// The bitmap's own stream record: the name as a 4-byte length and 8-bit
// characters, width and height as signed 32-bit values, then the pixels row
// after row as blue, green, red, alpha bytes. A negative height on reading
// means the rows were stored bottom row first.

#include "effects/bitmap/luxbitmap.h"

#include "effects/bitmap/recordreader_p.h"

#include <bit>
#include <climits>
#include <cstdint>

// Pixels are written and read as they lie in memory.
static_assert(std::endian::native == std::endian::little, "pixel bytes are stored in little-endian order");

namespace {
constexpr const char* RecordName = "Bitmap record";
}

void TluxBitmap::SaveToStream(QIODevice* Stream) const
{
    luxstream::requireWritable(Stream, RecordName);
    luxstream::writeName(Stream, Name, RecordName);
    luxstream::writeInt32(Stream, Width, RecordName);
    luxstream::writeInt32(Stream, Height, RecordName);
    if (!Empty())
        luxstream::writeBytes(Stream, reinterpret_cast<const char*>(Bits), qint64(Width) * Height * 4, RecordName);
}

void TluxBitmap::LoadFromStream(QIODevice* Stream)
{
    luxstream::requireReadable(Stream, RecordName);
    luxstream::ReadGuard guard(Stream);
    luxstream::RecordReader reader(Stream, RecordName);

    // Everything is read and checked before the bitmap changes.
    const QByteArray name = reader.name();
    const int32_t w = reader.int32("width");
    const int32_t storedHeight = reader.int32("height");
    if (w < 0)
        reader.fail(QStringLiteral("negative width %1").arg(w));
    if (storedHeight == INT32_MIN)
        reader.fail(QStringLiteral("height %1 is out of range").arg(storedHeight));
    const int64_t h = storedHeight < 0 ? -int64_t(storedHeight) : storedHeight;
    const int64_t pixels = int64_t(w) * h;
    // A record without pixels names the bitmap and leaves its pixels alone.
    if (pixels == 0) {
        Name = QString::fromLatin1(name);
        guard.commit();
        return;
    }
    if (pixels > INT32_MAX / 4)
        reader.fail(QStringLiteral("%1 x %2 pixels are more than a bitmap can hold").arg(w).arg(h));
    const QByteArray data = reader.bytes(pixels * 4, "pixel data");

    SetSize(w, int(h));
    MoveLongwordFunc(reinterpret_cast<const TluxColor*>(data.constData()), Bits, int(pixels));
    if (storedHeight < 0)
        FlipHorz();
    Name = QString::fromLatin1(name);
    guard.commit();
}
