#pragma once
// Small helpers shared by the tests.

#include <QImage>
#include <QString>

namespace luxtest {

// Folder of a test folder's data files (tests/<folder>/data).
inline QString dataDir()
{
#ifdef LUX_TEST_DATA_DIR
    return QStringLiteral(LUX_TEST_DATA_DIR);
#else
    return QString();
#endif
}

// Writes `bytes` as the whole of the file at `path`; returns `path`.
QString writeFile(const QString& path, const QByteArray& bytes);

// Lets queued events run for about `ms` milliseconds of event-loop time.
void processEventsFor(int ms);

// Number of pixels where the two images differ (images of different size differ everywhere).
qint64 differingPixels(const QImage& a, const QImage& b);

} // namespace luxtest
