#include "app/transfer/sendfileopener.h"

#include "app/transfer/wiretime.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

OpenedSendFile::~OpenedSendFile()
{
    if (fd >= 0)
        ::close(fd);
}

OpenedSendFile::OpenedSendFile(OpenedSendFile&& other) noexcept
    : fd(other.release()), path(std::move(other.path)), status(other.status), error(std::move(other.error)),
      longestLine(other.longestLine)
{
}

OpenedSendFile& OpenedSendFile::operator=(OpenedSendFile&& other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = other.release();
        path = std::move(other.path);
        status = other.status;
        error = std::move(other.error);
        longestLine = other.longestLine;
    }
    return *this;
}

int OpenedSendFile::release()
{
    return std::exchange(fd, -1);
}

OpenedSendFile OpenSendFile(const QByteArray& path, bool waitForWriter)
{
    OpenedSendFile file;
    file.path = path;
    const QString name = QFile::decodeName(path);
    // O_NONBLOCK keeps a FIFO without a writer from holding up the open; it
    // is cleared at once, as reads only happen when poll() allows them.
    const int flags = O_RDONLY | O_CLOEXEC | (waitForWriter ? 0 : O_NONBLOCK);
    int fd = -1;
    do
        fd = ::open(path.constData(), flags);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        file.error = TransferError::FromErrno(TransferError::Operation::OpenFile, name, errno);
        return file;
    }
    file.fd = fd;
    if (!waitForWriter)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (::fstat(fd, &file.status) != 0 || S_ISDIR(file.status.st_mode)) {
        const int error = S_ISDIR(file.status.st_mode) ? EISDIR : errno;
        ::close(file.release());
        file.error = TransferError::FromErrno(TransferError::Operation::OpenFile, name, error);
        return file;
    }
    if (S_ISREG(file.status.st_mode))
        file.longestLine = LongestPacket(name, false, 0);
    return file;
}

// Shared by the opener and its thread. `receiver` is cleared when the open is
// abandoned; the thread hands over its result only while it is set.
struct SendFileOpener::Pending {
    std::mutex mutex;
    SendFileOpener* receiver = nullptr;
    std::optional<OpenedSendFile> result;
};

SendFileOpener::SendFileOpener(QObject* parent) : QObject(parent) {}

SendFileOpener::~SendFileOpener()
{
    abandon();
}

void SendFileOpener::start(const QByteArray& path, bool waitForWriter)
{
    abandon();
    m_result = {};
    auto pending = std::make_shared<Pending>();
    pending->receiver = this;
    m_pending = pending;
    auto open = [pending, path, waitForWriter] {
        OpenedSendFile file = OpenSendFile(path, waitForWriter);
        const std::lock_guard lock(pending->mutex);
        if (!pending->receiver)
            return; // abandoned: the file is closed here
        pending->result = std::move(file);
        // Posting is safe while the lock is held: the receiver clears
        // `receiver` under the same lock before it goes away.
        QMetaObject::invokeMethod(
            pending->receiver, [receiver = pending->receiver, pending] { receiver->deliver(pending); },
            Qt::QueuedConnection);
    };
    try {
        std::thread(open).detach();
    } catch (const std::system_error&) {
        open(); // no thread to be had: open here rather than not at all
    }
}

void SendFileOpener::abandon()
{
    const std::shared_ptr<Pending> pending = std::exchange(m_pending, nullptr);
    if (!pending)
        return;
    const std::lock_guard lock(pending->mutex);
    pending->receiver = nullptr;
    pending->result.reset();
}

void SendFileOpener::deliver(const std::shared_ptr<Pending>& pending)
{
    if (pending != m_pending)
        return; // abandoned after the result was posted; it was closed then
    {
        const std::lock_guard lock(pending->mutex);
        m_result = std::move(*pending->result);
        pending->result.reset();
        pending->receiver = nullptr;
    }
    m_pending.reset();
    emit opened();
}

OpenedSendFile SendFileOpener::take()
{
    return std::move(m_result);
}
