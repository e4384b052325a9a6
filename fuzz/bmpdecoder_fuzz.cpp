// DecodeBmp over arbitrary bytes. A refused file throws BitmapStreamError; an
// accepted one has the size its header gives, carries alpha only at 32 bits,
// and decodes to the same pixels every time (no pixel comes from memory the
// decoder did not write).

#include "effects/bitmap/bitmapstreamerror.h"
#include "effects/bitmap/bmpdecoder.h"
#include "fuzz/fuzzsupport.h"

#include <QtEndian>

#include <cstdint>
#include <cstdlib>

namespace {

// Width, height and bit count as the header states them; false when the bytes
// are too short to say.
bool headerFields(const uint8_t* data, size_t size, int64_t& width, int64_t& height, int& bits)
{
    if (size < 18)
        return false;
    if (qFromLittleEndian<uint32_t>(data + 14) == 12) {
        if (size < 26)
            return false;
        width = qFromLittleEndian<uint16_t>(data + 18);
        height = qFromLittleEndian<uint16_t>(data + 20);
        bits = qFromLittleEndian<uint16_t>(data + 24);
        return true;
    }
    if (size < 30)
        return false;
    width = qFromLittleEndian<int32_t>(data + 18);
    height = std::llabs(qFromLittleEndian<int32_t>(data + 22));
    bits = qFromLittleEndian<uint16_t>(data + 28);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzInitQt(true);
    int64_t width = 0, height = 0;
    int bits = 0;
    // A run-length picture may end at once and leave the rest to palette entry 0,
    // so a few bytes can ask for up to 2 GB; such sizes are the decoder's
    // documented limit, not worth the fuzzer's time.
    if (headerFields(data, size, width, height, bits) && width * height > (int64_t(1) << 22))
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage first;
    try {
        first = DecodeBmp(input, QStringLiteral("fuzz"));
    } catch (const BitmapStreamError&) {
        return 0;
    }
    FUZZ_CHECK(headerFields(data, size, width, height, bits));
    FUZZ_CHECK(first.width() == width && first.height() == height);
    FUZZ_CHECK(first.format() == (bits == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32));
    if (bits != 32)
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x)
                FUZZ_CHECK(qAlpha(reinterpret_cast<const QRgb*>(first.constScanLine(y))[x]) == 255);
    FUZZ_CHECK(DecodeBmp(input, QStringLiteral("fuzz")) == first);
    return 0;
}
