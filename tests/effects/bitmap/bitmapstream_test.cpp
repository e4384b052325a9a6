#include "effects/bitmap/bitmaplink.h"
#include "effects/bitmap/bitmapstreamerror.h"
#include "effects/bitmap/luxbitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <climits>

namespace {

QByteArray le32(int32_t v)
{
    char raw[4];
    qToLittleEndian<int32_t>(v, raw);
    return QByteArray(raw, 4);
}

QByteArray record(const QByteArray& name, int32_t w, int32_t h, const QByteArray& pixels)
{
    return le32(int32_t(name.size())) + name + le32(w) + le32(h) + pixels;
}

// A bitmap whose pixel bytes run through every value 0..255.
void fillEveryByte(TluxBitmap& b)
{
    auto* bytes = reinterpret_cast<uint8_t*>(b.Bits);
    for (qsizetype i = 0; i < qsizetype(b.Width) * b.Height * 4; ++i)
        bytes[i] = uint8_t(i * 7 + i / 256);
}

QByteArray bitsOf(const TluxBitmap& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.Bits), qsizetype(b.Width) * b.Height * 4);
}

// A sequential device over fixed bytes, as a pipe or socket would deliver them.
class SequentialBytes : public QIODevice {
public:
    explicit SequentialBytes(QByteArray data) : m_data(std::move(data)) { open(ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_pos + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        const qint64 n = std::min(max, m_data.size() - m_pos);
        memcpy(out, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
};

} // namespace

TEST(BitmapStream, RoundTripKeepsNameSizeAndEveryPixelByte)
{
    TluxBitmap original;
    original.SetSize(47, 33);
    fillEveryByte(original);
    original.Name = QStringLiteral("Fr\u00e9d frame");
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    original.SaveToStream(&buffer);
    ASSERT_EQ(buffer.size(), 4 + original.Name.size() + 8 + 47 * 33 * 4);
    EXPECT_EQ(buffer.data().left(4), le32(int32_t(original.Name.size())));

    buffer.seek(0);
    TluxBitmap copy;
    copy.LoadFromStream(&buffer);
    EXPECT_EQ(copy.Name, original.Name);
    EXPECT_EQ(copy.Width, 47);
    EXPECT_EQ(copy.Height, 33);
    EXPECT_EQ(bitsOf(copy), bitsOf(original));
    EXPECT_TRUE(buffer.atEnd());

    // An empty bitmap writes a record without pixels; reading it names the
    // target and leaves its pixels alone.
    TluxBitmap empty;
    empty.Name = QStringLiteral("none");
    QBuffer emptyBuffer;
    emptyBuffer.open(QIODevice::ReadWrite);
    empty.SaveToStream(&emptyBuffer);
    EXPECT_EQ(emptyBuffer.data(), record("none", 0, 0, QByteArray()));
    emptyBuffer.seek(0);
    copy.LoadFromStream(&emptyBuffer);
    EXPECT_EQ(copy.Name, QStringLiteral("none"));
    EXPECT_EQ(bitsOf(copy), bitsOf(original));
}

TEST(BitmapStream, NegativeHeightRecordsStoreTheBottomRowFirst)
{
    QByteArray pixels;
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 2; ++x)
            pixels += le32(int32_t(0xFF000000u | uint32_t(row << 8 | x)));
    QBuffer buffer;
    buffer.setData(record("up", 2, -3, pixels));
    buffer.open(QIODevice::ReadOnly);
    TluxBitmap b;
    b.LoadFromStream(&buffer);
    ASSERT_EQ(b.Height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(b.GetPixel(x, y), 0xFF000000u | uint32_t((2 - y) << 8 | x)) << x << "," << y;
}

TEST(BitmapStream, BadRecordsAreRefusedAndChangeNothing)
{
    const QByteArray fourPixels(16, '\x5A');
    const QByteArray bad[] = {
        record("big", 64, 64, QByteArray(100, 0)),     // pixels longer than the stream
        record("short", 2, 2, fourPixels.left(15)),    // one byte missing
        record("neg", -2, 2, fourPixels),              // negative width
        record("wrap", 65536, 65536, fourPixels),      // product beyond 32 bits
        record("wrap", 0x40000000, -4, fourPixels),    // product overflowing, negative height
        record("min", 1, INT32_MIN, fourPixels),
        record("huge", 30000, 30000, fourPixels),      // more than a bitmap can hold
        le32(-5) + "x",                                // negative name length
        le32(1000) + "name",                           // name longer than the stream
        le32(3) + "abc" + le32(2),                     // stream ends before the height
        QByteArray(),
    };
    TluxBitmap b;
    b.SetSize(3, 2);
    fillEveryByte(b);
    b.Name = QStringLiteral("kept");
    const QByteArray before = bitsOf(b);
    for (const QByteArray& data : bad) {
        QBuffer buffer;
        buffer.setData(QByteArray("lead") + data);
        buffer.open(QIODevice::ReadOnly);
        buffer.seek(4);
        EXPECT_THROW(b.LoadFromStream(&buffer), BitmapStreamError) << data.toHex().toStdString();
        EXPECT_EQ(buffer.pos(), 4) << "the stream stays at the bad record";
        EXPECT_EQ(b.Name, QStringLiteral("kept"));
        ASSERT_EQ(b.Width, 3);
        EXPECT_EQ(bitsOf(b), before);

        SequentialBytes pipe(data);
        EXPECT_THROW(b.LoadFromStream(&pipe), BitmapStreamError);
        EXPECT_EQ(pipe.bytesAvailable(), data.size()) << "a sequential device is rolled back";
        EXPECT_EQ(bitsOf(b), before);
    }
    try {
        QBuffer buffer;
        buffer.setData(record("big", 64, 64, QByteArray(100, 0)));
        buffer.open(QIODevice::ReadOnly);
        b.LoadFromStream(&buffer);
        ADD_FAILURE() << "a record longer than its stream was read";
    } catch (const BitmapStreamError& e) {
        EXPECT_STREQ(e.what(), "Bitmap record: the pixel data needs 16384 bytes but the stream holds only 100");
    }
    EXPECT_THROW(b.LoadFromStream(nullptr), BitmapStreamError);

    // A good record on a sequential device reads normally.
    SequentialBytes pipe(record("ok", 1, 1, le32(int32_t(0x80112233))));
    b.LoadFromStream(&pipe);
    EXPECT_EQ(b.Width, 1);
    EXPECT_EQ(b.GetPixel(0, 0), 0x80112233u);
}

TEST(BitmapLinkRecord, RoundTripAndTruncatedRecords)
{
    TluxBitmapLink link;
    link.Name = QStringLiteral("corner");
    link.Left = -3;
    link.Top = 4;
    link.Right = INT32_MAX;
    link.Bottom = 9;
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    link.SaveToStream(&buffer);
    EXPECT_EQ(buffer.data(), le32(6) + "corner" + le32(-3) + le32(4) + le32(INT32_MAX) + le32(9));

    buffer.seek(0);
    TluxBitmapLink copy;
    copy.LoadFromStream(&buffer);
    EXPECT_EQ(copy.Name, link.Name);
    EXPECT_EQ(copy.BoundsRect(), link.BoundsRect());
    EXPECT_EQ(copy.Bitmap, nullptr);

    const QByteArray whole = buffer.data();
    for (qsizetype cut : {qsizetype(0), qsizetype(3), qsizetype(8), whole.size() - 1}) {
        QBuffer shortBuffer;
        shortBuffer.setData(whole.left(cut));
        shortBuffer.open(QIODevice::ReadOnly);
        TluxBitmapLink target;
        target.Name = QStringLiteral("kept");
        target.Right = 7;
        EXPECT_THROW(target.LoadFromStream(&shortBuffer), BitmapStreamError) << cut;
        EXPECT_EQ(target.Name, QStringLiteral("kept"));
        EXPECT_EQ(target.BoundsRect(), Rect(0, 0, 7, 0));
        EXPECT_EQ(shortBuffer.pos(), 0);
    }
}

namespace {

// An uncompressed 32-bit BMP file of the given rows (top row first); a
// positive height stores them bottom-up.
QByteArray bmp32(int width, int height, const QList<TluxColor>& topDown)
{
    const int rows = std::abs(height);
    QByteArray pixels;
    for (int i = 0; i < rows; ++i) {
        const int row = height > 0 ? rows - 1 - i : i;
        for (int x = 0; x < width; ++x)
            pixels += le32(int32_t(topDown[row * width + x]));
    }
    QByteArray info = le32(40) + le32(width) + le32(height) + QByteArray("\x01\x00\x20\x00", 4) + le32(0) +
                      le32(int32_t(pixels.size())) + le32(0) + le32(0) + le32(0) + le32(0);
    return QByteArray("BM") + le32(int32_t(14 + 40 + pixels.size())) + le32(0) + le32(54) + info + pixels;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

TEST(BitmapResource, BmpFilesInAFolderKeepAlphaOnlyAt32Bits)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QList<TluxColor> pixels = {0x80FF0000, 0xFF00FF00, 0x000000FF, 0x40102030, 0xFFFFFFFF, 0x00000000};
    writeFile(dir.filePath("alpha.bmp"), bmp32(3, 2, pixels));
    writeFile(dir.filePath("topdown.bmp"), bmp32(3, -2, pixels));
    QImage rgb(4, 3, QImage::Format_RGB888);
    rgb.fill(QColor(10, 20, 30));
    rgb.setPixelColor(3, 2, QColor(200, 100, 50));
    ASSERT_TRUE(rgb.save(dir.filePath("plain.bmp"), "BMP"));
    writeFile(dir.filePath("junk.bmp"), QByteArray("BM") + QByteArray(60, '\x7F'));
    QByteArray truncated = bmp32(3, 2, pixels);
    truncated.chop(5);
    writeFile(dir.filePath("cut.bmp"), truncated);

    for (const char* name : {"alpha", "topdown.bmp"}) {
        TluxBitmap b;
        b.LoadFromResource(dir.path(), QString::fromLatin1(name));
        ASSERT_EQ(b.Width, 3) << name;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(b.GetPixel(i % 3, i / 3), pixels[i]) << name << " " << i;
        EXPECT_TRUE(b.AlphaBlend);
    }

    TluxBitmap plain;
    plain.LoadFromResource(dir.path(), QStringLiteral("plain"));
    ASSERT_EQ(plain.Width, 4);
    EXPECT_EQ(plain.GetPixel(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(plain.GetPixel(3, 2), 0xFFC86432u);
    EXPECT_FALSE(plain.AlphaBlend);

    // A missing resource changes nothing; a broken one is refused.
    for (const char* name : {"missing", "junk", "cut"}) {
        const bool broken = QByteArray(name) != "missing";
        if (broken)
            EXPECT_THROW(plain.LoadFromResource(dir.path(), QString::fromLatin1(name)), BitmapStreamError) << name;
        else
            plain.LoadFromResource(dir.path(), QString::fromLatin1(name));
        EXPECT_EQ(plain.Width, 4);
        EXPECT_EQ(plain.GetPixel(3, 2), 0xFFC86432u);
    }
}

TEST(BitmapResource, BinaryQtResourceFilesAndTheProgramsOwnResources)
{
    const QString rcc = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/rcc");
    if (!QFile::exists(rcc))
        GTEST_SKIP() << "Qt's resource compiler is not installed at " << rcc.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("logo.bmp"), bmp32(1, 1, {0x7F123456}));
    writeFile(dir.filePath("pics.qrc"),
              "<RCC><qresource prefix=\"/\"><file>logo.bmp</file></qresource></RCC>");
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(rcc, {QStringLiteral("--binary"), QStringLiteral("pics.qrc"), QStringLiteral("-o"),
                        QStringLiteral("pics.rcc")});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QString module = dir.filePath("pics.rcc");

    TluxBitmap b;
    b.LoadFromResource(module, QStringLiteral("logo"));
    EXPECT_EQ(b.GetPixel(0, 0), 0x7F123456u);
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/logo.bmp")));

    // A module that cannot be loaded stands for the program itself.
    TluxBitmap own;
    own.LoadFromResource(dir.filePath("no-such-module.so"), QStringLiteral("logo"));
    EXPECT_TRUE(own.Empty());
    ASSERT_TRUE(QResource::registerResource(module));
    own.LoadFromResource(dir.filePath("no-such-module.so"), QStringLiteral("logo"));
    EXPECT_EQ(own.GetPixel(0, 0), 0x7F123456u);
    TluxBitmap viaEmptyName;
    viaEmptyName.LoadFromResource(QString(), QStringLiteral("logo.bmp"));
    EXPECT_EQ(viaEmptyName.GetPixel(0, 0), 0x7F123456u);
    QResource::unregisterResource(module);
}
