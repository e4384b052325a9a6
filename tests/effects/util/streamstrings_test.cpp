#include "effects/util/streamstrings.h"

#include <QBuffer>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

TEST(StreamStrings, StoredFormIsALittleEndianCountAndTheBytes)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    EXPECT_TRUE(WriteString(&buffer, "abc"));
    EXPECT_TRUE(WriteString(&buffer, ""));
    EXPECT_TRUE(WriteString(&buffer, QByteArray(300, 'z')));
    const QByteArray data = buffer.data();
    EXPECT_EQ(data.left(11), bytes({3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0}));
    EXPECT_EQ(data.mid(11, 4), bytes({0x2C, 0x01, 0, 0}));
    EXPECT_EQ(data.size(), 11 + 4 + 300);

    buffer.seek(0);
    bool ok = false;
    EXPECT_EQ(ReadString(&buffer, &ok), "abc");
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadString(&buffer, &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadString(&buffer, &ok), QByteArray(300, 'z'));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(buffer.atEnd());
}

TEST(StreamStrings, BadRecordsGiveEmptyAndLeaveTheStreamAtThem)
{
    struct Case {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"negative count", bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a'})},
        {"count past the end", bytes({5, 0, 0, 0, 'a', 'b'})},
        {"huge count", bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a'})},
        {"truncated count", bytes({3, 0})},
        {"empty stream", QByteArray()},
    };
    for (const Case& c : cases) {
        QByteArray data = c.data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        bool ok = true;
        EXPECT_EQ(ReadString(&buffer, &ok), QByteArray()) << c.what;
        EXPECT_FALSE(ok) << c.what;
        EXPECT_EQ(buffer.pos(), 0) << c.what;
    }
}

TEST(StreamStrings, FilesReadBackAndAShortFileFails)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(WriteString(&file, "name"));
    ASSERT_EQ(file.write(bytes({100, 0, 0, 0, 'x'})), 5);
    file.seek(0);
    bool ok = false;
    EXPECT_EQ(ReadString(&file, &ok), "name");
    EXPECT_EQ(ReadString(&file, &ok), QByteArray());
    EXPECT_FALSE(ok);
    EXPECT_EQ(file.pos(), 8);
}
