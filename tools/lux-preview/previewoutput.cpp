#include "tools/lux-preview/previewoutput.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cerrno>
#include <cstdarg>
#include <cstring>

bool CheckedOutput::check(bool ok)
{
    if (!ok && m_error == 0)
        m_error = errno != 0 ? errno : EIO;
    return ok;
}

bool CheckedOutput::write(const void* data, size_t size)
{
    if (failed())
        return false;
    errno = 0;
    return check(std::fwrite(data, 1, size, m_stream) == size);
}

bool CheckedOutput::print(const char* format, ...)
{
    if (failed())
        return false;
    va_list args;
    va_start(args, format);
    errno = 0;
    const int written = std::vfprintf(m_stream, format, args);
    va_end(args);
    return check(written >= 0);
}

int CheckedOutput::finish(FILE* err)
{
    if (!failed()) {
        errno = 0;
        check(std::fflush(m_stream) == 0);
    }
    if (!failed())
        return ExitDone;
    std::fprintf(err, "lux-preview: cannot write to standard output: %s\n", std::strerror(m_error));
    return m_error == EPIPE ? ExitOutputClosed : ExitFileError;
}

QString SavePng(const QImage& image, const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return f.errorString();
    QImageWriter writer(&f, "png");
    if (!writer.write(image))
        return f.error() != QFileDevice::NoError ? f.errorString() : writer.errorString();
    // The file buffers what the writer gave it: only the flush and the close
    // show whether the bytes reached the disk.
    if (!f.flush())
        return f.errorString();
    f.close();
    if (f.error() != QFileDevice::NoError)
        return f.errorString();
    return QString();
}
