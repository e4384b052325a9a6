#pragma once
// The file being sent, read from a given offset: a line at a time or a block
// at a time. Opening it reports failure as a TransferError; a folder, which
// opens on this system, is refused as a file that cannot be read.

#include "app/transfer/transfererror.h"

#include <QString>

#include <cstdio>
#include <memory>

class SendFileReader {
public:
    // Opens `path` for reading, closing what was open. Empty on success.
    TransferError open(const QString& path);
    void close() { m_file.reset(); }
    bool isOpen() const { return m_file != nullptr; }
    // The size when it was opened.
    qint64 size() const { return m_size; }

    struct Line {
        int length = 0;     // bytes read into the buffer
        bool atEnd = false; // the file ended (or could not be read) before a line feed
    };
    // Reads from `offset` up to and with the next line feed, at most `capacity` bytes.
    Line readLine(qint64 offset, char* buffer, int capacity);
    // Reads exactly `length` bytes from `offset`; false when fewer are left.
    bool readBlock(qint64 offset, char* buffer, int length);

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    std::unique_ptr<std::FILE, FileCloser> m_file;
    qint64 m_size = 0;
};
