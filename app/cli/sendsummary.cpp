#include "app/cli/sendsummary.h"

#include <QStringList>

#include <algorithm>

QString SummaryTable(const QList<SummaryRow>& rows)
{
    QList<QStringList> cells {{QStringLiteral("port"), QStringLiteral("bytes"), QStringLiteral("packets"),
                               QStringLiteral("seconds"), QStringLiteral("result")}};
    for (const SummaryRow& row : rows)
        cells << QStringList {row.port, QString::number(row.bytes), QString::number(row.packets),
                              QString::number(row.seconds, 'f', 2), row.result};
    // Every column as wide as its widest cell; numbers to the right.
    QList<qsizetype> widths(5, 0);
    for (const QStringList& line : cells)
        for (qsizetype column = 0; column < line.size(); ++column)
            widths[column] = std::max(widths[column], line[column].size());
    QString table;
    for (const QStringList& line : cells) {
        QString text = line[0].leftJustified(widths[0]);
        for (qsizetype column = 1; column < 4; ++column)
            text += QStringLiteral("  ") + line[column].rightJustified(widths[column]);
        table += text + QStringLiteral("  ") + line[4] + QLatin1Char('\n');
    }
    return table;
}
