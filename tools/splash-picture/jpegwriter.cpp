#include "tools/splash-picture/jpegwriter.h"

#include <QFile>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

QString WriteBaselineJpeg(const QImage& picture, const QString& path, int quality)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return QStringLiteral("cannot create %1").arg(path);

    // The picture is ours and the file is new: libjpeg's default error handler,
    // which ends the program with its message, is fine for this tool.
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info); // sequential Huffman coding: a baseline JPEG
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(out) != 0)
        return QStringLiteral("cannot write %1").arg(path);
    return {};
}
