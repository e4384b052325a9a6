#pragma once
// The warnings a test provokes, caught instead of printed.

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace luxtest {

// The warnings Qt's message handler receives while the object lives (from any
// thread), instead of printing them.
class WarningLog {
public:
    WarningLog();
    ~WarningLog();
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;
    QStringList warnings() const;
    // How many warnings contain `text`.
    int count(const QString& text) const;

private:
    mutable QMutex m_mutex;
    QStringList m_warnings;
    QtMessageHandler m_previous;
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);
};

} // namespace luxtest
