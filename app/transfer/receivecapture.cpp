#include "app/transfer/receivecapture.h"

#include <cerrno>

TransferError ReceiveCapture::start(const QString& path)
{
    stop();
    m_file.setFileName(path);
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return TransferError::FromErrno(TransferError::Operation::OpenFile, path, errno ? errno : EACCES);
    return {};
}

TransferError ReceiveCapture::write(const QByteArray& bytes)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return {};
    errno = 0;
    if (m_file.write(bytes) == bytes.size() && m_file.flush())
        return {};
    const int error = errno ? errno : EIO;
    const QString path = m_file.fileName();
    m_file.close();
    return TransferError::FromErrno(TransferError::Operation::SaveFile, path, error);
}
