#pragma once
// The file being sent, read once from start to end and never sought, so a
// pipe, a FIFO, standard input or an endless device is sent like a regular
// file: a line at a time or a block at a time. Bytes read ahead of what was
// taken stay buffered, so a block that does not fit is taken again as a line.
//
// Opening never waits: a FIFO without a writer opens at once and its bytes
// are read when they come. Reading never waits either: a read happens only
// when poll() says it will return at once, otherwise the reader answers
// "not yet". A regular file is watched: cut short, grown, modified in place
// or replaced while it is sent ends in a failure, not in a quiet end of data;
// a read error is a failure of its own, never taken for the end of the file.

#include "app/transfer/sendfileopener.h"
#include "app/transfer/transfererror.h"

#include <QByteArray>

#include <sys/stat.h>

class SendFileReader {
public:
    // Size of a file whose end is not known in advance (a pipe, a device).
    static constexpr qint64 UnknownSize = -1;

    SendFileReader() = default;
    ~SendFileReader();
    SendFileReader(const SendFileReader&) = delete;
    SendFileReader& operator=(const SendFileReader&) = delete;

    // Opens `path` (bytes as the system names it), closing what was open.
    // Empty on success. A folder is refused.
    TransferError open(const QByteArray& path);
    // Takes a file opened elsewhere (see SendFileOpener); its error when the open failed.
    TransferError adopt(OpenedSendFile file);
    // Takes a duplicate of an open descriptor (standard input), read as a stream.
    TransferError openDescriptor(int descriptor, const QByteArray& name);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // The size when it was opened, or UnknownSize for a stream.
    qint64 size() const { return m_size; }
    // What went wrong: a read error, or a regular file that changed. Empty
    // while the reading is sound.
    const TransferError& failure() const { return m_failure; }

    enum class Status {
        Data,    // bytes were taken
        Waiting, // a stream has not delivered enough yet: ask again later
        End,     // the data ended (for a line: fewer bytes, no line feed)
        Failed,  // see failure()
    };
    struct Read {
        Status status = Status::End;
        int length = 0; // bytes taken into the buffer
    };
    // Takes up to and with the next line feed, at most `capacity` bytes. A
    // line that ends without a line feed comes with status End.
    [[nodiscard]] Read readLine(char* buffer, int capacity);
    // Takes exactly `length` bytes: Data; End (nothing taken) when fewer are left.
    [[nodiscard]] Read readBlock(char* buffer, int length);

private:
    // Reads what is there without waiting until `wanted` bytes are buffered or
    // the data ended; false on a failure.
    [[nodiscard]] bool fill(qsizetype wanted);
    [[nodiscard]] bool checkUnchanged();
    void fail(TransferError::Operation operation, const QString& reason, int errorNumber);
    void take(char* buffer, int length);

    int m_fd = -1;
    QByteArray m_path;
    bool m_regular = false;
    struct stat m_opened {};
    qint64 m_size = 0;
    qint64 m_readTotal = 0; // bytes read from the file so far
    bool m_ended = false;
    QByteArray m_buffer; // read but not yet taken
    TransferError m_failure;
};
