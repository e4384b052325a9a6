// TluxBitmap::LoadFromPcxStream over arbitrary bytes. A stream that does not
// start as PCX, and a refused one, leave the bitmap and the stream position as
// they were; an accepted picture has the size its header bounds give, and is
// opaque (every pixel comes from a palette).

#include "effects/bitmap/bitmapstreamerror.h"
#include "fuzz/fuzzsupport.h"
#include "effects/bitmap/luxbitmap.h"

#include <QBuffer>
#include <QtEndian>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzInitQt(true);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);

    TluxBitmap bitmap;
    bitmap.SetSize(2, 3);
    bitmap.Clear(0x11223344);
    bitmap.Name = QStringLiteral("before");

    bool refused = false;
    try {
        bitmap.LoadFromPcxStream(&buffer);
    } catch (const BitmapStreamError&) {
        refused = true;
    }
    const bool pcx = size > 0 && (data[0] == 10 || data[0] == 205);
    if (refused || !pcx) {
        FUZZ_CHECK(bitmap.Width == 2 && bitmap.Height == 3 && bitmap.Name == QStringLiteral("before"));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x)
                FUZZ_CHECK(bitmap.GetPixel(x, y) == 0x11223344);
        FUZZ_CHECK(buffer.pos() == 0);
        return 0;
    }
    FUZZ_CHECK(size >= 128);
    const int width = qFromLittleEndian<uint16_t>(data + 8) - qFromLittleEndian<uint16_t>(data + 4) + 1;
    const int height = qFromLittleEndian<uint16_t>(data + 10) - qFromLittleEndian<uint16_t>(data + 6) + 1;
    FUZZ_CHECK(bitmap.Width == width && bitmap.Height == height);
    FUZZ_CHECK(buffer.atEnd());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            FUZZ_CHECK((bitmap.GetPixel(x, y) >> 24) == 0xFF);
    return 0;
}
