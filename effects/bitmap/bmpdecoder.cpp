#include "effects/bitmap/bmpdecoder.h"

#include "effects/bitmap/bitmapstreamerror.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>

namespace {

constexpr int64_t FileHeaderSize = 14;
constexpr std::array<uint32_t, 6> KnownHeaderSizes = {12, 40, 52, 56, 108, 124};

enum Compression : uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

// The file's bytes with every access checked against its length.
class BmpBytes {
public:
    BmpBytes(const QByteArray& file, const QString& what)
        : m_data(reinterpret_cast<const uchar*>(file.constData())), m_size(file.size()), m_what(what)
    {
    }

    [[noreturn]] void fail(const QString& reason) const
    {
        throw BitmapStreamError(QStringLiteral("%1: %2").arg(m_what, reason));
    }

    // The count bytes at offset; refused when the file does not hold them all.
    const uchar* at(int64_t offset, int64_t count, const char* part) const
    {
        if (offset < 0 || count < 0 || offset > m_size || count > m_size - offset)
            fail(QStringLiteral("the %1 needs %2 bytes at offset %3 but the file has %4")
                     .arg(QLatin1String(part))
                     .arg(count)
                     .arg(offset)
                     .arg(m_size));
        return m_data + offset;
    }

    int64_t size() const { return m_size; }

private:
    const uchar* m_data;
    int64_t m_size;
    const QString& m_what;
};

// One channel of a 16- or 32-bit pixel, given by its bit mask.
class Channel {
public:
    Channel() = default;
    explicit Channel(uint32_t mask)
        : m_mask(mask), m_shift(mask ? std::countr_zero(mask) : 0), m_max(mask ? mask >> m_shift : 0)
    {
    }

    // One run of set bits (or none).
    bool contiguous() const { return std::has_single_bit(uint64_t(m_max) + 1); }
    bool present() const { return m_max != 0; }
    uint32_t mask() const { return m_mask; }

    // The field scaled to 0..255, rounded to nearest: 5 bits v give
    // (v * 255 + 15) / 31, so 31 becomes 255.
    uint32_t operator()(uint32_t pixel) const
    {
        if (m_max == 0)
            return 0;
        const uint64_t v = (pixel & m_mask) >> m_shift;
        return uint32_t((v * 255 + m_max / 2) / m_max);
    }

private:
    uint32_t m_mask = 0;
    int m_shift = 0;
    uint32_t m_max = 0;
};

struct Layout {
    int64_t width = 0;
    int64_t rows = 0;
    bool topDown = false;
    int bits = 0;
    uint32_t compression = Rgb;
    uint32_t imageSize = 0;
    std::array<Channel, 4> channels; // red, green, blue, alpha
    QList<QRgb> palette;
    int64_t pixelOffset = 0;
};

bool validDepth(int bits, uint32_t compression)
{
    switch (compression) {
    case Rgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case Rle8: return bits == 8;
    case Rle4: return bits == 4;
    case BitFields:
    case AlphaBitFields: return bits == 16 || bits == 32;
    default: return false;
    }
}

// Bit fields: each one run of bits inside the pixel, no two sharing a bit.
void checkChannels(const BmpBytes& file, const Layout& l)
{
    uint32_t seen = 0;
    for (const Channel& c : l.channels) {
        const bool fits = l.bits == 32 || (c.mask() >> l.bits) == 0;
        if (!c.contiguous() || !fits || (seen & c.mask()) != 0)
            file.fail(QStringLiteral("the colour masks %1, %2, %3, %4 are not separate runs of bits within %5 bits")
                          .arg(l.channels[0].mask(), 0, 16)
                          .arg(l.channels[1].mask(), 0, 16)
                          .arg(l.channels[2].mask(), 0, 16)
                          .arg(l.channels[3].mask(), 0, 16)
                          .arg(l.bits));
        seen |= c.mask();
    }
}

Layout readLayout(const BmpBytes& file)
{
    const uchar* fileHeader = file.at(0, FileHeaderSize + 4, "file header");
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        file.fail(QStringLiteral("not a BMP file"));
    Layout l;
    l.pixelOffset = qFromLittleEndian<uint32_t>(fileHeader + 10);
    const uint32_t headerSize = qFromLittleEndian<uint32_t>(fileHeader + FileHeaderSize);
    if (std::find(KnownHeaderSizes.begin(), KnownHeaderSizes.end(), headerSize) == KnownHeaderSizes.end())
        file.fail(QStringLiteral("a bitmap header of %1 bytes is not one this reader knows").arg(headerSize));
    const uchar* h = file.at(FileHeaderSize, headerSize, "bitmap header");
    int64_t next = FileHeaderSize + headerSize;

    int planes = 0;
    uint32_t colours = 0;
    int entrySize = 4;
    int64_t height = 0;
    if (headerSize == 12) {
        l.width = qFromLittleEndian<uint16_t>(h + 4);
        height = qFromLittleEndian<uint16_t>(h + 6);
        planes = qFromLittleEndian<uint16_t>(h + 8);
        l.bits = qFromLittleEndian<uint16_t>(h + 10);
        entrySize = 3;
    } else {
        l.width = qFromLittleEndian<int32_t>(h + 4);
        height = qFromLittleEndian<int32_t>(h + 8);
        planes = qFromLittleEndian<uint16_t>(h + 12);
        l.bits = qFromLittleEndian<uint16_t>(h + 14);
        l.compression = qFromLittleEndian<uint32_t>(h + 16);
        l.imageSize = qFromLittleEndian<uint32_t>(h + 20);
        colours = qFromLittleEndian<uint32_t>(h + 32);
    }
    if (planes != 1)
        file.fail(QStringLiteral("%1 colour planes instead of 1").arg(planes));
    if (!validDepth(l.bits, l.compression))
        file.fail(QStringLiteral("compression %1 with %2 bits per pixel is not a BMP format").arg(l.compression).arg(l.bits));
    l.topDown = height < 0;
    l.rows = l.topDown ? -height : height;
    if (l.width <= 0 || l.rows == 0)
        file.fail(QStringLiteral("picture size %1 x %2 is not valid").arg(l.width).arg(height));
    if (l.topDown && (l.compression == Rle8 || l.compression == Rle4))
        file.fail(QStringLiteral("a run-length picture cannot be stored top-down"));
    if (l.width * l.rows > INT32_MAX / 4)
        file.fail(QStringLiteral("%1 x %2 pixels are more than a bitmap can hold").arg(l.width).arg(l.rows));

    if (l.compression == BitFields || l.compression == AlphaBitFields) {
        // An information header of 40 bytes is followed by the masks (with an
        // alpha mask for AlphaBitFields); a longer one holds them, the alpha mask
        // from 56 bytes on.
        const int count = headerSize == 40 ? (l.compression == AlphaBitFields ? 4 : 3) : (headerSize >= 56 ? 4 : 3);
        const uchar* masks = headerSize == 40 ? file.at(next, 4 * count, "colour masks") : h + 40;
        if (headerSize == 40)
            next += 4 * count;
        for (int i = 0; i < count; ++i)
            l.channels[size_t(i)] = Channel(qFromLittleEndian<uint32_t>(masks + 4 * i));
        checkChannels(file, l);
    } else if (l.bits == 16) {
        l.channels = {Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel()};
    }

    if (l.bits <= 8) {
        const uint32_t most = 1u << l.bits;
        const uint32_t count = colours == 0 ? most : std::min(colours, most);
        const uchar* entries = file.at(next, int64_t(count) * entrySize, "palette");
        l.palette.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const uchar* e = entries + i * uint32_t(entrySize);
            l.palette[i] = qRgb(e[2], e[1], e[0]);
        }
        next += int64_t(count) * entrySize;
    }
    if (l.pixelOffset < next)
        file.fail(QStringLiteral("the pixels at offset %1 overlap the headers and palette, which end at %2")
                      .arg(l.pixelOffset)
                      .arg(next));
    return l;
}

QRgb paletteColour(const BmpBytes& file, const Layout& l, uint32_t index, int64_t x, int64_t y)
{
    if (index >= uint32_t(l.palette.size()))
        file.fail(QStringLiteral("pixel (%1, %2) names palette entry %3 of %4").arg(x).arg(y).arg(index).arg(l.palette.size()));
    return l.palette[index];
}

void decodeRow(const BmpBytes& file, const Layout& l, const uchar* src, QRgb* dst, int64_t y)
{
    const auto& c = l.channels;
    for (int64_t x = 0; x < l.width; ++x) {
        switch (l.bits) {
        case 1: dst[x] = paletteColour(file, l, (src[x >> 3] >> (7 - (x & 7))) & 1, x, y); break;
        case 4: dst[x] = paletteColour(file, l, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15, x, y); break;
        case 8: dst[x] = paletteColour(file, l, src[x], x, y); break;
        case 16: {
            const uint32_t p = qFromLittleEndian<uint16_t>(src + 2 * x);
            dst[x] = qRgb(int(c[0](p)), int(c[1](p)), int(c[2](p)));
            break;
        }
        case 24: dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
        default: {
            const uint32_t p = qFromLittleEndian<uint32_t>(src + 4 * x);
            if (l.compression == Rgb)
                dst[x] = p; // the fourth byte is the alpha
            else
                dst[x] = qRgba(int(c[0](p)), int(c[1](p)), int(c[2](p)), c[3].present() ? int(c[3](p)) : 255);
            break;
        }
        }
    }
}

int64_t rowStride(const Layout& l)
{
    return (l.width * l.bits + 31) / 32 * 4;
}

void decodeRows(const BmpBytes& file, const Layout& l, const uchar* pixels, QImage& image)
{
    const int64_t stride = rowStride(l);
    for (int64_t y = 0; y < l.rows; ++y) {
        const int64_t stored = l.topDown ? y : l.rows - 1 - y;
        decodeRow(file, l, pixels + stored * stride, reinterpret_cast<QRgb*>(image.scanLine(int(y))), y);
    }
}

// Run-length data: pairs (count, value) repeat the value, (0, 0) ends a row,
// (0, 1) ends the picture, (0, 2, dx, dy) moves on, (0, n) is followed by n
// literal indices padded to an even byte count. With 4 bits a value holds
// two indices used in turn. Rows are stored bottom-up.
void decodeRuns(const BmpBytes& file, const Layout& l, const uchar* d, int64_t length, QImage& image)
{
    image.fill(l.palette[0]);
    const bool nibbles = l.compression == Rle4;
    int64_t i = 0, x = 0, y = 0;
    auto need = [&](int64_t count) {
        if (length - i < count)
            file.fail(QStringLiteral("the run-length data ends before its end mark"));
    };
    auto put = [&](uint32_t index) {
        if (x >= l.width || y >= l.rows)
            file.fail(QStringLiteral("a run passes the edge of the picture at (%1, %2)").arg(x).arg(l.rows - 1 - y));
        reinterpret_cast<QRgb*>(image.scanLine(int(l.rows - 1 - y)))[x] = paletteColour(file, l, index, x, l.rows - 1 - y);
        ++x;
    };
    auto nibble = [](uchar value, int64_t k) { return uint32_t(k % 2 == 0 ? value >> 4 : value & 15); };
    for (;;) {
        need(2);
        const uchar count = d[i], value = d[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(nibbles ? nibble(value, k) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            need(2);
            x += d[i];
            y += d[i + 1];
            i += 2;
        } else {
            const int64_t bytes = nibbles ? (value + 1) / 2 : value;
            need(bytes + (bytes & 1));
            for (int k = 0; k < value; ++k)
                put(nibbles ? nibble(d[i + k / 2], k) : d[i + k]);
            i += bytes + (bytes & 1);
        }
    }
}

} // namespace

QImage DecodeBmp(const QByteArray& data, const QString& what)
{
    const BmpBytes file(data, what);
    const Layout l = readLayout(file);
    const bool runs = l.compression == Rle8 || l.compression == Rle4;
    // The file must hold the pixel data before memory is taken for the picture.
    const int64_t length = runs ? (l.imageSize != 0 ? l.imageSize : file.size() - l.pixelOffset) : rowStride(l) * l.rows;
    const uchar* pixels = file.at(l.pixelOffset, length, runs ? "run-length data" : "pixels");
    QImage image(int(l.width), int(l.rows), l.bits == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        file.fail(QStringLiteral("no memory for %1 x %2 pixels").arg(l.width).arg(l.rows));
    if (runs)
        decodeRuns(file, l, pixels, length, image);
    else
        decodeRows(file, l, pixels, image);
    return image;
}
