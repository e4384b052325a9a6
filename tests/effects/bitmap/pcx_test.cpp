#include "effects/bitmap/bitmapstreamerror.h"
#include "effects/bitmap/luxbitmap.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

struct PcxHeader {
    uint8_t manufacturer = 10;
    uint8_t version = 5;
    uint8_t encoding = 1;
    uint16_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    uint8_t planes = 1;
    uint16_t bytesPerLine = 0;

    QByteArray bytes() const
    {
        QByteArray h(128, 0);
        auto* p = reinterpret_cast<uchar*>(h.data());
        p[0] = manufacturer;
        p[1] = version;
        p[2] = encoding;
        p[3] = 8;
        qToLittleEndian<uint16_t>(xmin, p + 4);
        qToLittleEndian<uint16_t>(ymin, p + 6);
        qToLittleEndian<uint16_t>(xmax, p + 8);
        qToLittleEndian<uint16_t>(ymax, p + 10);
        p[65] = planes;
        qToLittleEndian<uint16_t>(bytesPerLine, p + 66);
        return h;
    }
};

// Run-length encoding that packs equal bytes into runs of up to 63, also
// across scan lines, and writes every byte of 192 or more as a run.
QByteArray encodeRuns(const QByteArray& raw)
{
    QByteArray out;
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype n = 1;
        while (i + n < raw.size() && n < 63 && raw[i + n] == raw[i])
            ++n;
        if (n == 1 && uchar(raw[i]) < 192)
            out += raw[i];
        else
            out += char(0xC0 | n), out += raw[i];
        i += n;
    }
    return out;
}

// Palette entry i: red i, green 255 - i, blue i / 2.
QByteArray rampPalette()
{
    QByteArray p(1, '\x0C');
    for (int i = 0; i < 256; ++i)
        p += char(i), p += char(255 - i), p += char(i / 2);
    return p;
}

TluxColor rampColour(int i)
{
    return 0xFF000000u | uint32_t(i) << 16 | uint32_t(255 - i) << 8 | uint32_t(i / 2);
}

// Scan lines of 6 bytes for a 5 x 3 picture; the sixth byte is padding.
QByteArray scanLines()
{
    QByteArray raw;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            raw += char(y == 1 ? 200 : x * 50 + y);
        raw += char(0xEE);
    }
    return raw;
}

int indexAt(int x, int y)
{
    return y == 1 ? 200 : x * 50 + y;
}

PcxHeader picture5x3()
{
    PcxHeader h;
    h.xmin = 10;
    h.xmax = 14;
    h.ymin = 7;
    h.ymax = 9;
    h.bytesPerLine = 6;
    return h;
}

void load(TluxBitmap& b, const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    b.LoadFromPcxStream(&buffer);
}

} // namespace

TEST(PcxReader, RunLengthAndRawPicturesWithTheirPalette)
{
    const PcxHeader h = picture5x3();
    PcxHeader raw = h;
    raw.encoding = 0;
    for (const QByteArray& data : {h.bytes() + encodeRuns(scanLines()) + rampPalette(),
                                   raw.bytes() + scanLines() + rampPalette()}) {
        TluxBitmap b;
        load(b, data);
        ASSERT_EQ(b.Width, 5);
        ASSERT_EQ(b.Height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(b.GetPixel(x, y), rampColour(indexAt(x, y))) << x << "," << y;
        EXPECT_FALSE(b.AlphaBlend);
    }

    // A run reaching past the last scan line is cut to what is missing.
    TluxBitmap cut;
    PcxHeader one = h;
    one.ymax = one.ymin; // one scan line of 6 bytes
    load(cut, one.bytes() + QByteArray("\xFF\x05", 2) + rampPalette());
    ASSERT_EQ(cut.Height, 1);
    EXPECT_EQ(cut.GetPixel(4, 0), rampColour(5));

    // Version 3 uses the default palette: its static colours, black elsewhere.
    PcxHeader v3 = h;
    v3.version = 3;
    v3.ymax = v3.ymin;
    TluxBitmap b3;
    load(b3, v3.bytes() + encodeRuns(QByteArray("\x0D\x13\x07\x64\x00\x00", 6)));
    EXPECT_EQ(b3.GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b3.GetPixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(b3.GetPixel(2, 0), 0xFFC0C0C0u);
    EXPECT_EQ(b3.GetPixel(3, 0), 0xFF000000u);
}

TEST(PcxReader, OtherStreamsAndBadPicturesLeaveTheBitmapAsItWas)
{
    const PcxHeader h = picture5x3();
    const QByteArray lines = encodeRuns(scanLines());
    PcxHeader inverted = h, narrow = h, tall = h, raw = h;
    inverted.xmax = 9;          // xmax below xmin
    narrow.bytesPerLine = 4;    // a scan line shorter than the picture
    tall.ymax = 65535;          // far more lines than the data can give
    raw.encoding = 0;

    struct Case {
        const char* what;
        QByteArray data;
        bool error;
    };
    const Case cases[] = {
        {"not PCX", QByteArray("BM") + QByteArray(300, 0), false},
        {"empty", QByteArray(), false},
        {"short header", h.bytes().left(100), true},
        {"inverted bounds", inverted.bytes() + lines + rampPalette(), true},
        {"narrow scan line", narrow.bytes() + lines + rampPalette(), true},
        {"no planes", [&] { PcxHeader p = h; p.planes = 0; return p.bytes() + lines + rampPalette(); }(), true},
        {"tall picture", tall.bytes() + lines + rampPalette(), true},
        {"no palette", h.bytes() + lines, true},
        {"short runs", h.bytes() + lines.left(lines.size() - 3), true},
        {"run without its value", h.bytes() + QByteArray(1, char(0xC5)), true},
        {"short raw lines", raw.bytes() + scanLines().left(17), true},
        {"palette marker missing", h.bytes() + lines + QByteArray(1, '\0') + rampPalette().mid(1), true},
        {"bytes appended", h.bytes() + lines + rampPalette() + QByteArray(1, '\x0C'), true},
        {"runs end in the palette", h.bytes() + lines.left(lines.size() - 3) + rampPalette(), true},
        {"raw lines end in the palette", raw.bytes() + scanLines().left(17) + rampPalette(), true},
    };
    for (const Case& c : cases) {
        TluxBitmap b;
        b.SetSize(2, 2);
        b.Clear(0x12345678);
        QBuffer buffer;
        buffer.setData(c.data);
        buffer.open(QIODevice::ReadOnly);
        if (c.error)
            EXPECT_THROW(b.LoadFromPcxStream(&buffer), BitmapStreamError) << c.what;
        else
            EXPECT_NO_THROW(b.LoadFromPcxStream(&buffer)) << c.what;
        EXPECT_EQ(buffer.pos(), 0) << c.what;
        ASSERT_EQ(b.Width, 2) << c.what;
        EXPECT_EQ(b.GetPixel(1, 1), 0x12345678u) << c.what;
    }
}
