#include "app/transfer/sendfilereader.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Bytes asked of the system per read; the buffer never holds more than a
// packet and one such read.
constexpr size_t ReadChunk = 16 * 1024;

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

SendFileReader::~SendFileReader()
{
    close();
}

void SendFileReader::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
}

TransferError SendFileReader::open(const QByteArray& path)
{
    return adopt(OpenSendFile(path));
}

TransferError SendFileReader::adopt(OpenedSendFile file)
{
    close();
    if (file.error)
        return file.error;
    m_path = file.path;
    m_opened = file.status;
    m_fd = file.release();
    m_regular = S_ISREG(m_opened.st_mode);
    m_size = m_regular ? m_opened.st_size : UnknownSize;
    m_readTotal = 0;
    m_ended = false;
    m_failure = {};
    return {};
}

TransferError SendFileReader::openDescriptor(int descriptor, const QByteArray& name)
{
    close();
    const int fd = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return TransferError::FromErrno(TransferError::Operation::OpenFile, QFile::decodeName(name), errno);
    m_fd = fd;
    m_path.clear();
    m_regular = false;
    m_size = UnknownSize;
    m_readTotal = 0;
    m_ended = false;
    m_failure = {};
    return {};
}

void SendFileReader::fail(TransferError::Operation operation, const QString& reason, int errorNumber)
{
    m_failure = {operation, QFile::decodeName(m_path), reason, errorNumber};
}

bool SendFileReader::fill(qsizetype wanted)
{
    if (m_failure)
        return false;
    char chunk[ReadChunk];
    while (m_buffer.size() < wanted && !m_ended) {
        pollfd ready {m_fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, 0);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled < 0) {
            fail(TransferError::Operation::ReadFile, QString::fromLocal8Bit(std::strerror(errno)), errno);
            return false;
        }
        if (polled == 0)
            return true; // a stream with nothing to read yet
        const ssize_t got = ::read(m_fd, chunk, sizeof chunk);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0) {
            fail(TransferError::Operation::ReadFile, QString::fromLocal8Bit(std::strerror(errno)), errno);
            return false;
        }
        if (got == 0) {
            // A FIFO whose writer has not come yet reads as empty without a hang-up.
            if (!m_regular && !(ready.revents & POLLHUP) && S_ISFIFO(m_opened.st_mode))
                return true;
            m_ended = true;
            return !m_regular || checkUnchanged();
        }
        m_readTotal += got;
        if (m_regular && m_readTotal > m_size) {
            fail(TransferError::Operation::FileChanged,
                 QStringLiteral("it grew beyond its %1 bytes while it was sent").arg(m_size), EIO);
            return false;
        }
        m_buffer.append(chunk, got);
    }
    return true;
}

// At the end of a regular file: every byte it had at Start was read, and it is
// still the same file, unmodified.
bool SendFileReader::checkUnchanged()
{
    if (m_readTotal < m_size) {
        fail(TransferError::Operation::FileChanged,
             QStringLiteral("it was cut short while it was sent: %1 of its %2 bytes were left")
                 .arg(m_readTotal).arg(m_size), EIO);
        return false;
    }
    struct stat now {};
    if (::fstat(m_fd, &now) == 0 && (now.st_size != m_opened.st_size || !sameTime(now.st_mtim, m_opened.st_mtim))) {
        fail(TransferError::Operation::FileChanged, QStringLiteral("it was modified while it was sent"), EIO);
        return false;
    }
    struct stat atPath {};
    if (::stat(m_path.constData(), &atPath) == 0
        && (atPath.st_ino != m_opened.st_ino || atPath.st_dev != m_opened.st_dev)) {
        fail(TransferError::Operation::FileChanged,
             QStringLiteral("another file took its place while it was sent"), EIO);
        return false;
    }
    return true;
}

void SendFileReader::take(char* buffer, int length)
{
    std::memcpy(buffer, m_buffer.constData(), size_t(length));
    m_buffer.remove(0, length);
}

SendFileReader::Read SendFileReader::readLine(char* buffer, int capacity)
{
    Read read;
    if (!isOpen())
        return read;
    qsizetype end = -1;
    for (;;) {
        end = m_buffer.left(capacity).indexOf('\n');
        if (end >= 0 || m_buffer.size() >= capacity || m_ended)
            break;
        const qsizetype had = m_buffer.size();
        if (!fill(had + 1)) {
            read.status = Status::Failed;
            return read;
        }
        if (m_buffer.size() == had && !m_ended) {
            read.status = Status::Waiting;
            return read;
        }
    }
    read.length = int(end >= 0 ? end + 1 : std::min<qsizetype>(m_buffer.size(), capacity));
    read.status = end < 0 && m_ended && read.length < capacity ? Status::End : Status::Data;
    take(buffer, read.length);
    return read;
}

SendFileReader::Read SendFileReader::readBlock(char* buffer, int length)
{
    Read read;
    if (!isOpen())
        return read;
    if (!fill(length)) {
        read.status = Status::Failed;
        return read;
    }
    if (m_buffer.size() < length) {
        read.status = m_ended ? Status::End : Status::Waiting;
        return read;
    }
    read.status = Status::Data;
    read.length = length;
    take(buffer, length);
    return read;
}
