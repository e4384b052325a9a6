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

void ReceiveCapture::write(const QByteArray& bytes)
{
    if (!m_file.isOpen())
        return;
    m_file.write(bytes);
    m_file.flush();
}
