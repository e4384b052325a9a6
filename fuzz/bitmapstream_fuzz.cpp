// TluxBitmap::LoadFromStream over arbitrary bytes. A refused record throws
// BitmapStreamError and leaves the bitmap and the stream position as they
// were; an accepted one consumes exactly its bytes, and SaveToStream writes
// them back (rows in stored order when the height was negative). A pipe
// (sequential device) gives the same outcome as a buffer.

#include "effects/bitmap/bitmapstreamerror.h"
#include "fuzz/fuzzsupport.h"
#include "effects/bitmap/luxbitmap.h"

#include <QBuffer>

#include <cstdint>
#include <cstring>

namespace {

// What a failed load must leave untouched.
struct Snapshot {
    explicit Snapshot(const TluxBitmap& b) : name(b.Name), width(b.Width), height(b.Height)
    {
        if (b.Bits)
            pixels = QByteArray(reinterpret_cast<const char*>(b.Bits), qsizetype(b.Width) * b.Height * 4);
    }
    bool matches(const TluxBitmap& b) const { return Snapshot(b).same(*this); }
    bool same(const Snapshot& o) const
    {
        return name == o.name && width == o.width && height == o.height && pixels == o.pixels;
    }
    QString name;
    int width;
    int height;
    QByteArray pixels;
};

int32_t int32At(const QByteArray& bytes, qsizetype offset)
{
    int32_t v = 0;
    std::memcpy(&v, bytes.constData() + offset, 4);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzInitQt(true);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);

    TluxBitmap bitmap;
    bitmap.SetSize(3, 2);
    bitmap.Clear(0x80402010);
    bitmap.Name = QStringLiteral("before");
    const Snapshot before(bitmap);

    // The same bytes from a pipe: the reader rolls back a transaction instead
    // of seeking, and must come to the same result.
    TluxBitmap fromPipe;
    SequentialBytes pipe(input);
    bool pipeRefused = false;
    try {
        fromPipe.LoadFromStream(&pipe);
    } catch (const BitmapStreamError&) {
        pipeRefused = true;
        FUZZ_CHECK(pipe.bytesAvailable() == input.size());
    }

    try {
        bitmap.LoadFromStream(&buffer);
    } catch (const BitmapStreamError&) {
        FUZZ_CHECK(pipeRefused);
        FUZZ_CHECK(before.matches(bitmap));
        FUZZ_CHECK(buffer.pos() == 0);
        return 0;
    }
    FUZZ_CHECK(!pipeRefused);
    FUZZ_CHECK(pipe.bytesAvailable() == buffer.bytesAvailable());
    FUZZ_CHECK(fromPipe.Name == bitmap.Name);
    if (fromPipe.Width != 0)
        FUZZ_CHECK(Snapshot(fromPipe).pixels == Snapshot(bitmap).pixels);

    // Accepted: name length, name, width, height, pixels.
    const int32_t nameLength = int32At(input, 0);
    const int32_t width = int32At(input, 4 + nameLength);
    const int32_t storedHeight = int32At(input, 8 + nameLength);
    const qint64 header = 12 + qint64(nameLength);
    FUZZ_CHECK(bitmap.Name == QString::fromLatin1(input.mid(4, nameLength)));
    if (width == 0 || storedHeight == 0) {
        FUZZ_CHECK(buffer.pos() == header);
        FUZZ_CHECK(bitmap.Width == before.width && bitmap.Height == before.height);
        FUZZ_CHECK(Snapshot(bitmap).pixels == before.pixels);
        return 0;
    }
    const int height = storedHeight < 0 ? -storedHeight : storedHeight;
    const qint64 rowBytes = qint64(width) * 4;
    FUZZ_CHECK(bitmap.Width == width && bitmap.Height == height);
    FUZZ_CHECK(buffer.pos() == header + rowBytes * height);

    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    bitmap.SaveToStream(&saved);
    QByteArray expected = input.left(header + rowBytes * height);
    if (storedHeight < 0) {
        std::memcpy(expected.data() + 8 + nameLength, &height, 4);
        for (int y = 0; y < height; ++y)
            std::memcpy(expected.data() + header + y * rowBytes,
                        input.constData() + header + (height - 1 - y) * rowBytes, size_t(rowBytes));
    }
    FUZZ_CHECK(saved.data() == expected);
    return 0;
}
