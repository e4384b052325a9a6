// BMP files of every kind loaded as bitmap resources from a folder: each
// format decoded to the same picture, every truncated or inconsistent file
// refused, and names that leave the folder refused.

#include "effects/bitmap/bitmapstreamerror.h"
#include "effects/bitmap/luxbitmap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <array>

namespace {

QByteArray le16(int v)
{
    char raw[2];
    qToLittleEndian<uint16_t>(uint16_t(v), raw);
    return QByteArray(raw, 2);
}

QByteArray le32(uint32_t v)
{
    char raw[4];
    qToLittleEndian<uint32_t>(v, raw);
    return QByteArray(raw, 4);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

// A BMP file; the masks go after a 40-byte header, inside a longer one.
struct Bmp {
    int header = 40;
    int32_t width = 3;
    int32_t height = 2;
    int bits = 24;
    uint32_t compression = 0;
    QList<uint32_t> masks;
    QByteArray palette; // as stored: 4 bytes an entry, 3 with the 12-byte header
    QByteArray pixels;
    int planes = 1;
    int offsetShift = 0;

    QByteArray file() const
    {
        QByteArray info;
        if (header == 12) {
            info = le32(12) + le16(width) + le16(height) + le16(planes) + le16(bits);
        } else {
            info = le32(uint32_t(header)) + le32(uint32_t(width)) + le32(uint32_t(height)) + le16(planes) +
                   le16(bits) + le32(compression) + le32(0) + le32(0) + le32(0) + le32(uint32_t(palette.size() / 4)) +
                   le32(0);
            for (uint32_t m : masks)
                info += le32(m);
            if (info.size() < header)
                info += QByteArray(header - info.size(), '\0');
        }
        const uint32_t offset = uint32_t(14 + info.size() + palette.size() + offsetShift);
        return "BM" + le32(uint32_t(14 + info.size() + palette.size() + pixels.size())) + le32(0) + le32(offset) +
               info + palette + pixels;
    }
};

// Palette entries blue, green, red, reserved: black, white, red, green, blue.
const QByteArray fivePalette =
    bytes({0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});

// Every case shows a 3 x 2 picture: white, red, C over black, blue, green.
constexpr TluxColor White = 0xFFFFFFFF, Red = 0xFFFF0000, Black = 0xFF000000, Blue = 0xFF0000FF,
                    Green = 0xFF00FF00;

struct Case {
    const char* what;
    Bmp bmp;
    std::array<TluxColor, 6> expected;
};

QList<Case> formats()
{
    QList<Case> cases;
    {
        Bmp b; // rows bottom-up, blue-green-red, padded to 4 bytes
        b.pixels = bytes({0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 0, 0, 255, 3, 2, 1, 0, 0, 0});
        cases.append({"24 bits", b, {White, Red, 0xFF010203, Black, Blue, Green}});
    }
    {
        Bmp b;
        b.bits = 16; // 5-5-5
        b.pixels = le16(0) + le16(0x001F) + le16(0x03E0) + le16(0) + le16(0x7FFF) + le16(0x7C00) + le16(0x0421) + le16(0);
        cases.append({"16 bits 5-5-5", b, {White, Red, 0xFF080808, Black, Blue, Green}});
        b.compression = 3;
        b.masks = {0xF800, 0x07E0, 0x001F};
        b.pixels = le16(0) + le16(0x001F) + le16(0x07E0) + le16(0) + le16(0xFFFF) + le16(0xF800) + le16(0x0841) + le16(0);
        cases.append({"16 bits 5-6-5", b, {White, Red, 0xFF080808, Black, Blue, Green}});
    }
    {
        Bmp b;
        b.bits = 32;
        b.compression = 3;
        b.header = 56; // 10-10-10 with no alpha: opaque
        b.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0};
        b.pixels = le32(0) + le32(0x3FF) + le32(0x3FF << 10) + le32(0x3FFFFFFF) + le32(0x3FF00000) +
                   le32(512 << 20 | 512 << 10 | 512);
        cases.append({"32 bits 10-10-10", b, {White, Red, 0xFF808080, Black, Blue, Green}});
        b.header = 124; // eight-bit fields with alpha: alpha kept
        b.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
        b.pixels = le32(0x00000000) + le32(0x800000FF) + le32(0xFF00FF00) + le32(0xFFFFFFFF) + le32(0x7FFF0000) +
                   le32(0x01020304);
        cases.append({"32 bits with alpha", b, {White, 0x7FFF0000, 0x01020304, 0, 0x800000FF, Green}});
    }
    {
        Bmp b;
        b.bits = 8;
        b.height = -2; // top-down
        b.palette = fivePalette;
        b.pixels = bytes({1, 2, 0, 0, 0, 4, 3, 0});
        cases.append({"8 bits top-down", b, {White, Red, Black, Black, Blue, Green}});
        b.height = 2;
        b.bits = 4;
        b.pixels = bytes({0x04, 0x30, 0, 0, 0x12, 0x00, 0, 0});
        cases.append({"4 bits", b, {White, Red, Black, Black, Blue, Green}});
        b.bits = 1;
        b.palette = fivePalette.left(8);
        b.pixels = bytes({0x60, 0, 0, 0, 0xA0, 0, 0, 0});
        cases.append({"1 bit", b, {White, Black, White, Black, White, White}});
    }
    {
        Bmp b;
        b.header = 12;
        b.bits = 8; // a palette of 256 triples
        for (int i = 0; i < 256; ++i)
            b.palette += i == 1 ? bytes({255, 255, 255}) : i == 2 ? bytes({0, 0, 255}) : bytes({0, 0, i});
        b.pixels = bytes({0, 0, 9, 0, 1, 2, 0, 0});
        cases.append({"core header", b, {White, Red, Black, Black, Black, 0xFF090000}});
    }
    {
        Bmp b;
        b.bits = 8;
        b.compression = 1;
        b.palette = fivePalette;
        // Bottom row: literal 0, 4, 3; end of line; top row: one 1, skip one, one 2; end.
        b.pixels = bytes({0, 3, 0, 4, 3, 0, 0, 0, 1, 1, 0, 2, 1, 0, 1, 2, 0, 1});
        cases.append({"run-length 8 bits", b, {White, Black, Red, Black, Blue, Green}});
        b.bits = 4;
        b.compression = 2;
        // Bottom row: a run of one 0, a run of 4, 3; end of line; top row: literal 1, 2, 0; end.
        b.pixels = bytes({1, 0x00, 2, 0x43, 0, 0, 0, 3, 0x12, 0x00, 0, 1});
        cases.append({"run-length 4 bits", b, {White, Red, Black, Black, Blue, Green}});
    }
    {
        Bmp b;
        b.bits = 32;
        b.compression = 6; // alpha bit fields, but a 52-byte header holds no alpha mask: opaque
        b.header = 52;
        b.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
        b.pixels = le32(0xFF000000) + le32(0x000000FF) + le32(0x0000FF00) + le32(0x00FFFFFF) + le32(0x00FF0000) +
                   le32(0x00010203);
        cases.append({"32 bits, 52-byte header", b, {White, Red, 0xFF010203, Black, Blue, Green}});
    }
    return cases;
}

class BmpResource : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void write(const QString& name, const QByteArray& data)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(data), data.size());
    }
    // Loads `data` as the resource "picture" of the temporary folder.
    void load(TluxBitmap& b, const QByteArray& data)
    {
        write(QStringLiteral("picture.bmp"), data);
        b.LoadFromResource(dir.path(), QStringLiteral("picture"));
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(BmpResource, EveryFormatGivesThePictureWithChannelsAtFullRange)
{
    for (const Case& c : formats()) {
        TluxBitmap b;
        ASSERT_NO_THROW(load(b, c.bmp.file())) << c.what;
        ASSERT_EQ(b.Width, 3) << c.what;
        ASSERT_EQ(b.Height, 2) << c.what;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(b.GetPixel(i % 3, i / 3), c.expected[size_t(i)]) << c.what << " pixel " << i;
    }
}

TEST_F(BmpResource, TruncatedAndInconsistentFilesAreRefusedAndChangeNothing)
{
    QList<std::pair<QString, QByteArray>> bad;
    for (const Case& c : formats()) {
        const QByteArray whole = c.bmp.file();
        for (qsizetype cut = 0; cut < whole.size(); ++cut)
            bad.append({QStringLiteral("%1 cut to %2 bytes").arg(QLatin1String(c.what)).arg(cut), whole.left(cut)});
    }
    const QList<Case> ok = formats();
    auto changed = [&](int index, auto change) {
        Bmp b = ok[index].bmp;
        change(b);
        return b.file();
    };
    bad += {
        {"two planes", changed(0, [](Bmp& b) { b.planes = 2; })},
        {"24 bits run-length", changed(0, [](Bmp& b) { b.compression = 1; })},
        {"zero width", changed(0, [](Bmp& b) { b.width = 0; })},
        {"unknown header size", changed(0, [](Bmp& b) { b.header = 44; })},
        {"pixels inside the header", changed(0, [](Bmp& b) { b.offsetShift = -4; })},
        {"overlapping masks", changed(2, [](Bmp& b) { b.masks[1] = 0x0FE0; })},
        {"mask with a gap", changed(2, [](Bmp& b) { b.masks[0] = 0xD800; })},
        {"mask beyond 16 bits", changed(2, [](Bmp& b) { b.masks[0] = 0x1F0000; })},
        {"index beyond the palette", changed(5, [](Bmp& b) { b.pixels[0] = 5; })},
        {"pixels inside the palette", changed(5, [](Bmp& b) { b.offsetShift = -4; })},
        {"run past the row end", changed(9, [](Bmp& b) { b.pixels[1] = 4; })},
        {"run-length top-down", changed(9, [](Bmp& b) { b.height = -2; })},
    };
    for (const auto& [what, data] : bad) {
        TluxBitmap b;
        b.SetSize(1, 1);
        b.SetPixel(0, 0, 0x12345678);
        EXPECT_THROW(load(b, data), BitmapStreamError) << what.toStdString();
        EXPECT_EQ(b.Width, 1) << what.toStdString();
        EXPECT_EQ(b.GetPixel(0, 0), 0x12345678u) << what.toStdString();
    }
}

TEST_F(BmpResource, NamesThatLeaveTheFolderAreRefused)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("module/inner")));
    write(QStringLiteral("picture.bmp"), formats()[0].bmp.file()); // beside the module
    write(QStringLiteral("module/own.bmp"), formats()[0].bmp.file());
    const QString module = dir.filePath(QStringLiteral("module"));
    for (const QString& name : {QStringLiteral("../picture"), QStringLiteral("inner/../../picture.bmp"),
                                dir.filePath(QStringLiteral("picture")), QStringLiteral("..")}) {
        TluxBitmap b;
        EXPECT_THROW(b.LoadFromResource(module, name), BitmapStreamError) << name.toStdString();
        EXPECT_TRUE(b.Empty()) << name.toStdString();
    }
    TluxBitmap own;
    own.LoadFromResource(module, QStringLiteral("inner/../own"));
    EXPECT_EQ(own.GetPixel(0, 0), White);
}
