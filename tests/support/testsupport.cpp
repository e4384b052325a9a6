#include "tests/support/testsupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>

namespace luxtest {

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void processEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

qint64 differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return qint64(std::max(a.width() * a.height(), b.width() * b.height()));
    const QImage ca = a.convertToFormat(QImage::Format_ARGB32);
    const QImage cb = b.convertToFormat(QImage::Format_ARGB32);
    qint64 n = 0;
    for (int y = 0; y < ca.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(ca.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(cb.constScanLine(y));
        for (int x = 0; x < ca.width(); ++x)
            n += (ra[x] != rb[x]) ? 1 : 0;
    }
    return n;
}

} // namespace luxtest
