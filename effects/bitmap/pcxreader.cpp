// Loading a PCX picture of one 8-bit plane into a TluxBitmap.
//
// Layout: a 128-byte header (manufacturer 10 or 205, version, encoding, the
// 16-bit picture bounds xmin, ymin, xmax, ymax, the plane count at 65 and the
// bytes per line at 66), then the scan lines, run-length encoded when the
// encoding byte is 1, and for versions other than 3 a palette in the last 769
// bytes of the stream (the marker byte 12 and 256 red-green-blue triples). The
// scan lines must end before the palette: a stream cut short or with bytes
// appended shows a wrong marker or runs its lines into the palette, and is
// refused instead of showing wrong colours.
// Row y of the picture is the first `width` bytes of scan line y; pictures of
// several planes are read by the same rule and do not show correctly.

#include "effects/bitmap/luxbitmap.h"

#include "effects/bitmap/recordreader_p.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>

namespace {

constexpr const char* RecordName = "PCX picture";
constexpr int HeaderSize = 128;
constexpr int PaletteSize = 769;
constexpr uchar PaletteMarker = 12;
// One run byte pair yields at most 63 data bytes.
constexpr int64_t MaxRun = 63;

// The default palette of the window system: its 20 static colours, the rest black.
QList<QRgb> defaultPalette()
{
    static constexpr std::array<QRgb, 20> staticColours = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
        0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    QList<QRgb> palette(256, qRgb(0, 0, 0));
    for (size_t i = 0; i < staticColours.size(); ++i)
        palette[qsizetype(i)] = 0xFF000000u | staticColours[i];
    return palette;
}

QList<QRgb> streamPalette(const QByteArray& tail)
{
    QList<QRgb> palette(256);
    const auto* rgb = reinterpret_cast<const uchar*>(tail.constData()) + 1; // after the marker byte
    for (int i = 0; i < 256; ++i)
        palette[i] = qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return palette;
}

// Run-length decoding into exactly `size` bytes: a byte below 192 is data; a
// byte of 192 or more gives a count (its low 6 bits) of copies of the next
// byte, the count cut to what is still missing.
QByteArray decodeRuns(const QByteArray& data, int64_t size, const luxstream::RecordReader& reader)
{
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    auto* o = reinterpret_cast<uchar*>(out.data());
    const auto* in = reinterpret_cast<const uchar*>(data.constData());
    const int64_t inSize = data.size();
    int64_t i = 0, done = 0;
    while (done < size) {
        if (i >= inSize)
            break;
        const uchar b = in[i++];
        if (b < 192) {
            o[done++] = b;
            continue;
        }
        if (i >= inSize)
            break;
        const int64_t n = std::min<int64_t>(b & 0x3F, size - done);
        std::memset(o + done, in[i++], size_t(n));
        done += n;
    }
    if (done < size)
        reader.fail(QStringLiteral("the run-length data ends after %1 of %2 bytes").arg(done).arg(size));
    return out;
}

} // namespace

void TluxBitmap::LoadFromPcxStream(QIODevice* Stream)
{
    luxstream::requireReadable(Stream, RecordName);
    luxstream::ReadGuard guard(Stream);
    luxstream::RecordReader reader(Stream, RecordName);

    // A stream that does not start as PCX is left for someone else.
    char first = 0;
    if (Stream->peek(&first, 1) != 1 || (uchar(first) != 10 && uchar(first) != 205))
        return;
    const QByteArray headerBytes = reader.bytes(HeaderSize, "header");
    const auto* header = reinterpret_cast<const uchar*>(headerBytes.constData());
    const int version = header[1];
    const int encoding = header[2];
    const int xmin = qFromLittleEndian<uint16_t>(header + 4);
    const int ymin = qFromLittleEndian<uint16_t>(header + 6);
    const int xmax = qFromLittleEndian<uint16_t>(header + 8);
    const int ymax = qFromLittleEndian<uint16_t>(header + 10);
    const int planes = header[65];
    const int bytesPerLine = qFromLittleEndian<uint16_t>(header + 66);

    const int width = xmax - xmin + 1;
    const int height = ymax - ymin + 1;
    if (width <= 0 || height <= 0)
        reader.fail(QStringLiteral("bounds (%1, %2)-(%3, %4) give no pixels").arg(xmin).arg(ymin).arg(xmax).arg(ymax));
    const int64_t scanLine = int64_t(planes) * bytesPerLine;
    if (scanLine < width)
        reader.fail(QStringLiteral("a scan line of %1 planes x %2 bytes cannot hold %3 pixels")
                        .arg(planes)
                        .arg(bytesPerLine)
                        .arg(width));
    if (int64_t(width) * height > INT32_MAX / 4)
        reader.fail(QStringLiteral("%1 x %2 pixels are more than a bitmap can hold").arg(width).arg(height));

    // The rest of the stream holds the scan lines and, at its end, the palette.
    QByteArray data = Stream->readAll();
    QList<QRgb> palette;
    if (version == 3) {
        palette = defaultPalette();
    } else {
        if (data.size() < PaletteSize)
            reader.fail(QStringLiteral("the stream ends before the %1-byte palette").arg(PaletteSize));
        const QByteArray tail = data.right(PaletteSize);
        if (uchar(tail[0]) != PaletteMarker)
            reader.fail(QStringLiteral("the palette marker is %1 instead of %2: the stream was cut short or has bytes appended")
                            .arg(uchar(tail[0]))
                            .arg(PaletteMarker));
        palette = streamPalette(tail);
        data.chop(PaletteSize);
    }

    const int64_t needed = int64_t(height) * scanLine;
    QByteArray lines;
    if (encoding == 1) {
        if (needed > MaxRun * data.size())
            reader.fail(QStringLiteral("%1 bytes of run-length data cannot give the %2 bytes of %3 scan lines")
                            .arg(data.size())
                            .arg(needed)
                            .arg(height));
        lines = decodeRuns(data, needed, reader);
    } else {
        if (needed > data.size())
            reader.fail(QStringLiteral("the scan lines need %1 bytes but the stream holds only %2")
                            .arg(needed)
                            .arg(data.size()));
        lines = data;
    }

    QImage picture(width, height, QImage::Format_Indexed8);
    if (picture.isNull())
        reader.fail(QStringLiteral("no memory for %1 x %2 pixels").arg(width).arg(height));
    picture.setColorTable(palette);
    for (int y = 0; y < height; ++y)
        std::memcpy(picture.scanLine(y), lines.constData() + y * scanLine, size_t(width));
    Assign(picture);
    guard.commit();
}
