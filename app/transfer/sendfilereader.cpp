#include "app/transfer/sendfilereader.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

TransferError SendFileReader::open(const QString& path)
{
    close();
    m_size = 0;
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return TransferError::FromErrno(TransferError::Operation::OpenFile, path, errno);
    m_file.reset(file);
    struct stat status {};
    if (::fstat(::fileno(file), &status) != 0) {
        const int statErrno = errno;
        close();
        return TransferError::FromErrno(TransferError::Operation::OpenFile, path, statErrno);
    }
    if (S_ISDIR(status.st_mode)) {
        close();
        return TransferError::FromErrno(TransferError::Operation::OpenFile, path, EISDIR);
    }
    m_size = status.st_size;
    return {};
}

SendFileReader::Line SendFileReader::readLine(qint64 offset, char* buffer, int capacity)
{
    Line line;
    if (!m_file || ::fseeko(m_file.get(), offset, SEEK_SET) != 0) {
        line.atEnd = true;
        return line;
    }
    while (line.length < capacity) {
        const int byte = std::fgetc(m_file.get());
        if (byte == EOF) {
            line.atEnd = true;
            break;
        }
        buffer[line.length++] = static_cast<char>(byte);
        if (byte == '\n')
            break;
    }
    return line;
}

bool SendFileReader::readBlock(qint64 offset, char* buffer, int length)
{
    return m_file && ::fseeko(m_file.get(), offset, SEEK_SET) == 0
        && std::fread(buffer, static_cast<size_t>(length), 1, m_file.get()) == 1;
}
