#pragma once
// The JSON record of a "send" that a test station keeps (--report FILE): the
// tool and its version, when it started, the file with its size, SHA-256,
// format, address range and check, the settings, one entry per port in the
// order given, and the exit status. It is written at the end whatever the
// end (sent, failed, refused, interrupted), first to a temporary file in the
// report's folder that then takes the report's name, so a reader finds the
// last whole report or this one, never half of one.

#include "app/cli/sendsettings.h"
#include "app/cli/sendsummary.h"
#include "app/transfer/firmwarecheck.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QList>
#include <QString>

#include <optional>

// A board's row of the summary (its port as given), and more.
struct ReportedPort : SummaryRow {
    int status = 0;     // the exit status this board alone would give
    QByteArray replies; // what the board sent
};

struct RunReport {
    QDateTime started;
    QString filePath;  // as given
    FirmwareFile file;
    QString check;     // "ok", "failed", "skipped" or "forced"
    SendSettings settings;
    QList<ReportedPort> ports;
    int exitStatus = 0;
};

QJsonDocument ReportDocument(const RunReport& report);

// Writes the report to `path`; the reason when it cannot.
std::optional<QString> WriteReport(const QString& path, const RunReport& report);

// Whether a report can be written at `path` (its folder exists and takes new
// files); the reason when not, so that a run is refused before a board is
// flashed without its record.
std::optional<QString> ReportPathMistake(const QString& path);
