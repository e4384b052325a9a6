// The JPEG decoder on real files: the splash picture as shipped, the same file
// cut short or damaged, bytes that are not a JPEG, and pictures in the other
// colour spaces libjpeg reports (greyscale, Adobe CMYK).

#include "app/picture/jpegpicture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

#include <jpeglib.h>

namespace {

// The picture as shipped, in resources/ at the top of the source tree.
const QString SplashFile = QDir::cleanPath(QStringLiteral(LUX_TEST_DATA_DIR "/../../../../resources/splash.jpg"));

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    return file.readAll();
}

// Colour distance per channel: JPEG coding moves flat areas by a few levels.
void expectNear(QRgb actual, QRgb expected, int tolerance, const char* where)
{
    EXPECT_NEAR(qRed(actual), qRed(expected), tolerance) << where;
    EXPECT_NEAR(qGreen(actual), qGreen(expected), tolerance) << where;
    EXPECT_NEAR(qBlue(actual), qBlue(expected), tolerance) << where;
}

// Decoding must fail with a JpegError that names the picture and says why.
void expectDamaged(const QByteArray& bytes, const char* why)
{
    try {
        DecodeJpeg(bytes, QStringLiteral("sample.jpg"));
        ADD_FAILURE() << "decoded although " << why;
    } catch (const JpegError& error) {
        const QString text = QString::fromStdString(error.what());
        EXPECT_TRUE(text.contains(QStringLiteral("\"sample.jpg\" is damaged: "))) << qPrintable(text);
        EXPECT_GT(text.size(), QStringLiteral("The JPEG picture \"sample.jpg\" is damaged: ").size() + 5)
            << "no reason given: " << qPrintable(text);
    }
}

// A small JPEG written with libjpeg in a given colour space, pixels from fill(x, y, components).
QByteArray encode(int width, int height, J_COLOR_SPACE space, int components,
                  const std::function<void(int, int, JSAMPLE*)>& fill)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    QByteArray row(width * components, '\0');
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            fill(x, y, reinterpret_cast<JSAMPLE*>(row.data()) + x * components);
        JSAMPROW rows[1] = {reinterpret_cast<JSAMPLE*>(row.data())};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

} // namespace

TEST(JpegPicture, SplashPictureDecodesWithItsColours)
{
    const QImage picture = LoadJpegFile(SplashFile);
    ASSERT_EQ(picture.size(), QSize(242, 154));
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    // Flat areas of the drawing (tools/splash-picture): background, board, chip.
    expectNear(picture.pixel(108, 100), qRgb(0x10, 0x2A, 0x52), 6, "background");
    expectNear(picture.pixel(28, 76), qRgb(0x1F, 0x7A, 0x45), 6, "board");
    expectNear(picture.pixel(58, 52), qRgb(0x22, 0x22, 0x26), 6, "chip");
    // The yellow trace of the idle line, and the white name.
    const QRgb trace = picture.pixel(20, 110);
    EXPECT_TRUE(qRed(trace) > 200 && qGreen(trace) > 160 && qBlue(trace) < 120) << std::hex << trace;
    int white = 0;
    for (int y = 18; y < 54; ++y)
        for (int x = 104; x < 234; ++x)
            white += qGray(picture.pixel(x, y)) > 230;
    EXPECT_GT(white, 300) << "the name TK790 is missing";
}

TEST(JpegPicture, AgreesWithAnIndependentDecoder)
{
    // Qt's own JPEG reader, where installed, decodes with the same libjpeg
    // defaults: every pixel must match, which pins down channel order and rows.
    if (!QImageReader::supportedImageFormats().contains("jpeg"))
        GTEST_SKIP() << "Qt has no JPEG reader here";
    const QImage reference = QImage(SplashFile, "JPEG").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());
    EXPECT_EQ(LoadJpegFile(SplashFile), reference);
}

TEST(JpegPicture, FileCutShortIsDamaged)
{
    const QByteArray whole = readAll(SplashFile);
    ASSERT_GT(whole.size(), 1000);
    expectDamaged(whole.left(whole.size() - 2), "the end-of-image marker is missing");
    expectDamaged(whole.left(whole.size() / 2), "half the scan is missing");
    expectDamaged(whole.left(300), "only the tables are there");
    expectDamaged(whole.left(2), "only the start-of-image marker is there");
    expectDamaged(QByteArray(), "the file is empty");

    // The same through a real truncated file on disk.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.jpg"));
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(whole.size() * 3 / 4));
    cut.close();
    try {
        LoadJpegFile(path);
        ADD_FAILURE() << "a truncated file decoded";
    } catch (const JpegError& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).contains(path)) << error.what();
    }
}

TEST(JpegPicture, BytesThatAreNoJpegAreRefused)
{
    QByteArray noise(4096, '\0');
    QRandomGenerator random(790);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    expectDamaged(noise, "the bytes are noise");
    // Noise after a start-of-image marker reaches libjpeg's marker reader.
    expectDamaged(QByteArray("\xFF\xD8", 2) + noise, "noise follows the marker");
    expectDamaged(QByteArray("\x89PNG\r\n\x1A\n", 8) + noise.left(100), "the file is a PNG");

    // A frame header claiming 65000 x 65000 pixels is refused before any
    // pixel memory is taken.
    QByteArray huge = readAll(SplashFile);
    const qsizetype frame = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    for (int at : {5, 7}) {
        huge[frame + at] = char(0xFD);
        huge[frame + at + 1] = char(0xE8);
    }
    expectDamaged(huge, "the picture is far too large");

    EXPECT_THROW(LoadJpegFile(QStringLiteral("/nonexistent/splash.jpg")), JpegError);
}

TEST(JpegPicture, GreyscaleAndAdobeCmykBecomeRgb)
{
    const QImage grey = DecodeJpeg(encode(16, 16, JCS_GRAYSCALE, 1, [](int, int, JSAMPLE* p) { p[0] = 0x80; }),
                                   QStringLiteral("grey.jpg"));
    ASSERT_EQ(grey.size(), QSize(16, 16));
    expectNear(grey.pixel(7, 7), qRgb(0x80, 0x80, 0x80), 2, "grey");

    // Adobe writers store CMYK inverted (255 = no ink); libjpeg writes the
    // Adobe marker for CMYK. Left half: cyan ink only; right half: half black.
    const QByteArray cmyk = encode(16, 16, JCS_CMYK, 4, [](int x, int, JSAMPLE* p) {
        const bool cyan = x < 8;
        p[0] = cyan ? 0 : 255;
        p[1] = 255;
        p[2] = 255;
        p[3] = cyan ? 255 : 127;
    });
    const QImage rgb = DecodeJpeg(cmyk, QStringLiteral("cmyk.jpg"));
    expectNear(rgb.pixel(2, 8), qRgb(0, 255, 255), 4, "cyan");
    expectNear(rgb.pixel(13, 8), qRgb(127, 127, 127), 4, "half black");
}
