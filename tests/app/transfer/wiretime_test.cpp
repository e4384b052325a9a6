#include "app/transfer/wiretime.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The longest line of a regular file is found by reading it ahead; a FIFO is
// never read ahead, so every byte waiting in it is left for the transfer.
TEST(WireTime, ReadsAheadOnlyInRegularFiles)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lines.txt"));
    {
        const QByteArray text = "ab\nabcdef\nabc";
        const int fd = ::open(file.toLocal8Bit().constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::write(fd, text.constData(), text.size()), text.size());
        ::close(fd);
    }
    EXPECT_EQ(LongestPacket(file, false, 512), 7);
    EXPECT_EQ(LongestPacket(file, true, 512), 512);

    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const int reader = ::open(fifo.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.toLocal8Bit().constData(), O_WRONLY);
    ASSERT_EQ(::write(writer, "line\n", 5), 5);
    EXPECT_EQ(LongestPacket(fifo, false, 512), 0);
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 5) << "the scan took bytes out of the FIFO";
    ::close(writer);
    ::close(reader);
}
