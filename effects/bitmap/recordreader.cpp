#include "effects/bitmap/recordreader_p.h"

#include "effects/util/streamstrings.h"

#include <QtEndian>

BitmapStreamError::BitmapStreamError(const QString& message) : std::runtime_error(message.toStdString()) {}

namespace luxstream {

void requireReadable(QIODevice* Stream, const char* what)
{
    if (!Stream || !Stream->isReadable())
        throw BitmapStreamError(QStringLiteral("%1: the stream is not open for reading").arg(QLatin1String(what)));
}

void requireWritable(QIODevice* Stream, const char* what)
{
    if (!Stream || !Stream->isWritable())
        throw BitmapStreamError(QStringLiteral("%1: the stream is not open for writing").arg(QLatin1String(what)));
}

ReadGuard::ReadGuard(QIODevice* device) : m_device(device)
{
    if (m_device->isSequential()) {
        if (!m_device->isTransactionStarted()) {
            m_device->startTransaction();
            m_transaction = true;
        }
    } else {
        m_start = m_device->pos();
    }
}

ReadGuard::~ReadGuard()
{
    if (m_done)
        return;
    if (m_transaction)
        m_device->rollbackTransaction();
    else if (!m_device->isSequential())
        m_device->seek(m_start);
}

void ReadGuard::commit()
{
    if (m_transaction)
        m_device->commitTransaction();
    m_done = true;
}

void RecordReader::fail(const QString& reason) const
{
    throw BitmapStreamError(QStringLiteral("%1: %2").arg(QLatin1String(m_what), reason));
}

int32_t RecordReader::int32(const char* field)
{
    char raw[4];
    if (m_device->read(raw, 4) != 4)
        fail(QStringLiteral("the stream ends before the %1").arg(QLatin1String(field)));
    return qFromLittleEndian<int32_t>(raw);
}

QByteArray RecordReader::name()
{
    const int32_t length = int32("name length");
    if (length < 0)
        fail(QStringLiteral("negative name length %1").arg(length));
    return bytes(length, "name");
}

QByteArray RecordReader::bytes(qint64 count, const char* field)
{
    if (count == 0)
        return QByteArray();
    if (count < 0 || count > available())
        fail(QStringLiteral("the %1 needs %2 bytes but the stream holds only %3")
                 .arg(QLatin1String(field))
                 .arg(count)
                 .arg(available()));
    QByteArray data = m_device->read(count);
    if (data.size() != count)
        fail(QStringLiteral("the stream delivered %1 of the %2 bytes of the %3")
                 .arg(data.size())
                 .arg(count)
                 .arg(QLatin1String(field)));
    return data;
}

void writeBytes(QIODevice* Stream, const char* data, qint64 count, const char* what)
{
    if (count > 0 && Stream->write(data, count) != count)
        throw BitmapStreamError(QStringLiteral("%1: the stream did not take %2 bytes").arg(QLatin1String(what)).arg(count));
}

void writeInt32(QIODevice* Stream, int32_t value, const char* what)
{
    char raw[4];
    qToLittleEndian<int32_t>(value, raw);
    writeBytes(Stream, raw, 4, what);
}

void writeName(QIODevice* Stream, const QString& name, const char* what)
{
    if (!WriteString(Stream, name.toLatin1()))
        throw BitmapStreamError(QStringLiteral("%1: the stream did not take the name").arg(QLatin1String(what)));
}

} // namespace luxstream
