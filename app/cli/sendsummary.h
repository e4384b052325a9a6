#pragma once
// The table that ends a "send" to several boards: one row per port with the
// bytes sent, the packets, the seconds from Start to the end and the result.

#include <QList>
#include <QString>

struct SummaryRow {
    QString port;
    qint64 bytes = 0;
    int packets = 0;
    double seconds = 0;
    QString result;
};

QString SummaryTable(const QList<SummaryRow>& rows);
