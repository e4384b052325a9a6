#pragma once
// Decoding of JPEG pictures with libjpeg's classic API, for the pictures the
// tool ships (the splash window and the About box).
//
// A damaged file never ends the program: libjpeg's fatal errors and its
// warnings about corrupt data (a truncated file, a broken marker) come back
// as a JpegError that names the file and libjpeg's own message.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <stdexcept>

class JpegError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture decoded, in each direction and in pixels; larger
// headers are refused before any pixel memory is taken.
constexpr int MaxJpegSide = 16384;
constexpr qint64 MaxJpegPixels = qint64(64) * 1024 * 1024;

// Decodes the JPEG bytes in Data (RGB, greyscale or CMYK, baseline or
// progressive) into an opaque QImage::Format_RGB32 picture. Name is the file
// name used in the error text. Throws JpegError when the data is not a
// whole, sound JPEG picture.
QImage DecodeJpeg(const QByteArray& Data, const QString& Name);

// Reads the file at Path (a file or a Qt resource path) and decodes it.
// Throws JpegError when the file cannot be read or is damaged.
QImage LoadJpegFile(const QString& Path);
