#include "app/picture/jpegpicture.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

// libjpeg reports through this manager. Its error_exit must not return, and
// the library's default one ends the process: ours jumps back to decode(),
// which destroys the decompressor and reports the message.
struct ErrorManager {
    jpeg_error_mgr pub; // first, so libjpeg's pointer converts back
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void failDecoding(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// Level -1 is a warning about corrupt data (a premature end of file, bytes
// missing before a marker): libjpeg would go on and fill the rest of the
// picture with grey. We refuse the picture instead. Levels 0 and up are
// trace messages and are dropped.
void reportMessage(j_common_ptr info, int level)
{
    if (level < 0)
        failDecoding(info);
}

// Everything decode() changes lives here, reached through a pointer, so that
// nothing it needs after a jump is an automatic variable modified since
// setjmp, and no object with a destructor is skipped by the jump.
struct Decoder {
    jpeg_decompress_struct info;
    ErrorManager error;
    QImage image;
};

// Adobe applications store CMYK inverted (0 = full ink) and say so with their
// marker; other writers store it plainly.
QRgb cmykToRgb(const JSAMPLE* p, bool inverted)
{
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return qRgb(c * k / 255, m * k / 255, y * k / 255);
}

void convertRow(const JSAMPLE* in, QRgb* out, int width, J_COLOR_SPACE space, bool adobeCmyk)
{
    switch (space) {
    case JCS_GRAYSCALE:
        for (int x = 0; x < width; ++x)
            out[x] = qRgb(in[x], in[x], in[x]);
        break;
    case JCS_CMYK:
        for (int x = 0; x < width; ++x)
            out[x] = cmykToRgb(in + 4 * x, adobeCmyk);
        break;
    default:
        for (int x = 0; x < width; ++x)
            out[x] = qRgb(in[3 * x], in[3 * x + 1], in[3 * x + 2]);
        break;
    }
}

// Returns false with d->error.message set when libjpeg fails or warns, or the
// picture is too large; d->image holds the picture otherwise.
bool decode(Decoder* d, const unsigned char* bytes, unsigned long size)
{
    d->info.err = jpeg_std_error(&d->error.pub);
    d->error.pub.error_exit = failDecoding;
    d->error.pub.emit_message = reportMessage;
    if (setjmp(d->error.jump)) {
        jpeg_destroy_decompress(&d->info);
        d->image = QImage();
        return false;
    }
    jpeg_create_decompress(&d->info);
    jpeg_mem_src(&d->info, bytes, size);
    jpeg_read_header(&d->info, TRUE);

    const JDIMENSION width = d->info.image_width;
    const JDIMENSION height = d->info.image_height;
    if (width > JDIMENSION(MaxJpegSide) || height > JDIMENSION(MaxJpegSide)
        || qint64(width) * qint64(height) > MaxJpegPixels) {
        std::snprintf(d->error.message, sizeof d->error.message, "picture of %u x %u pixels is too large",
                      unsigned(width), unsigned(height));
        jpeg_destroy_decompress(&d->info);
        return false;
    }

    switch (d->info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        d->info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        d->info.out_color_space = JCS_CMYK;
        break;
    default:
        d->info.out_color_space = JCS_RGB;
        break;
    }
    jpeg_start_decompress(&d->info);

    d->image = QImage(int(d->info.output_width), int(d->info.output_height), QImage::Format_RGB32);
    if (d->image.isNull()) {
        std::snprintf(d->error.message, sizeof d->error.message, "not enough memory for the picture");
        jpeg_destroy_decompress(&d->info);
        return false;
    }
    // The row buffer belongs to libjpeg's image pool: destroying the
    // decompressor frees it, also after a jump.
    const JDIMENSION rowBytes = d->info.output_width * JDIMENSION(d->info.output_components);
    JSAMPARRAY row =
        (*d->info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d->info), JPOOL_IMAGE, rowBytes, 1);
    const bool adobeCmyk = d->info.saw_Adobe_marker;
    while (d->info.output_scanline < d->info.output_height) {
        const int y = int(d->info.output_scanline);
        jpeg_read_scanlines(&d->info, row, 1);
        convertRow(row[0], reinterpret_cast<QRgb*>(d->image.scanLine(y)), int(d->info.output_width),
                   d->info.out_color_space, adobeCmyk);
    }
    jpeg_finish_decompress(&d->info);
    jpeg_destroy_decompress(&d->info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& Data, const QString& Name)
{
    auto decoder = std::make_unique<Decoder>();
    if (!decode(decoder.get(), reinterpret_cast<const unsigned char*>(Data.constData()),
                static_cast<unsigned long>(Data.size())))
        throw JpegError(QStringLiteral("The JPEG picture \"%1\" is damaged: %2")
                            .arg(Name, QString::fromLocal8Bit(decoder->error.message))
                            .toStdString());
    return std::move(decoder->image);
}

QImage LoadJpegFile(const QString& Path)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly))
        throw JpegError(
            QStringLiteral("Cannot read the JPEG picture \"%1\": %2").arg(Path, file.errorString()).toStdString());
    return DecodeJpeg(file.readAll(), Path);
}
