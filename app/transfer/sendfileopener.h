#pragma once
// Opens the send file on a thread of its own, so that an open that takes long
// (a file on a slow network share, a device that waits in open) never holds up
// the event loop. The result comes back through the event loop; a result
// nobody wants any more (Stop was pressed, the opener went away) is closed
// where it lands, so no descriptor is left behind.
//
// The thread is not waited for: an open that never returns keeps only its own
// thread, which ends with the process.

#include "app/transfer/transfererror.h"

#include <QByteArray>
#include <QObject>

#include <memory>
#include <sys/stat.h>

// What an open found: the descriptor (owned, closed with the object), the
// file's status, and for a regular file the longest line in its first part.
class OpenedSendFile {
public:
    OpenedSendFile() = default;
    ~OpenedSendFile();
    OpenedSendFile(OpenedSendFile&& other) noexcept;
    OpenedSendFile& operator=(OpenedSendFile&& other) noexcept;
    OpenedSendFile(const OpenedSendFile&) = delete;
    OpenedSendFile& operator=(const OpenedSendFile&) = delete;

    // Gives up the descriptor to the caller.
    int release();

    int fd = -1;
    QByteArray path;
    struct stat status {};
    TransferError error;   // set when the open failed
    qint64 longestLine = 0; // 0 when not known (a stream)
};

// Opens `path` for reading; a folder is refused. Unless `waitForWriter`, a
// FIFO without a writer opens at once (its bytes are read when they come).
// Safe on any thread.
OpenedSendFile OpenSendFile(const QByteArray& path, bool waitForWriter = false);

class SendFileOpener : public QObject {
    Q_OBJECT
public:
    explicit SendFileOpener(QObject* parent = nullptr);
    ~SendFileOpener() override;

    // Begins opening `path` on a thread of its own; an open still under way is
    // abandoned. opened() follows from the event loop.
    void start(const QByteArray& path, bool waitForWriter = false);
    // The open under way is no longer wanted: its result is closed when it comes.
    void abandon();
    bool busy() const { return m_pending != nullptr; }
    // The result after opened(), once.
    OpenedSendFile take();

signals:
    void opened();

private:
    struct Pending;
    void deliver(const std::shared_ptr<Pending>& pending);

    std::shared_ptr<Pending> m_pending;
    OpenedSendFile m_result;
};
