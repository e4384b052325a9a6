// DecodeJpeg over arbitrary bytes: it either returns a picture whose size
// lies within the decoder's limits or throws JpegError; libjpeg never ends
// the process and nothing is read outside the input.

#include "fuzz/fuzzsupport.h"
#include "app/picture/jpegpicture.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzInitQt(false);
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QImage picture = DecodeJpeg(input, QStringLiteral("fuzz.jpg"));
        FUZZ_CHECK(!picture.isNull());
        FUZZ_CHECK(picture.format() == QImage::Format_RGB32);
        FUZZ_CHECK(picture.width() <= MaxJpegSide && picture.height() <= MaxJpegSide);
        FUZZ_CHECK(qint64(picture.width()) * picture.height() <= MaxJpegPixels);
    } catch (const JpegError&) {
    }
    return 0;
}
