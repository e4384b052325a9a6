#include "tests/support/warninglog.h"

namespace luxtest {

namespace {
WarningLog* activeLog = nullptr;
} // namespace

WarningLog::WarningLog() : m_previous(qInstallMessageHandler(&WarningLog::handle))
{
    activeLog = this;
}

WarningLog::~WarningLog()
{
    qInstallMessageHandler(m_previous);
    activeLog = nullptr;
}

void WarningLog::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!activeLog)
        return;
    if (type != QtWarningMsg) {
        if (activeLog->m_previous)
            activeLog->m_previous(type, context, message);
        return;
    }
    QMutexLocker lock(&activeLog->m_mutex);
    activeLog->m_warnings.append(message);
}

QStringList WarningLog::warnings() const
{
    QMutexLocker lock(&m_mutex);
    return m_warnings;
}

int WarningLog::count(const QString& text) const
{
    QMutexLocker lock(&m_mutex);
    int n = 0;
    for (const QString& w : m_warnings)
        n += w.contains(text) ? 1 : 0;
    return n;
}

} // namespace luxtest
