#pragma once
// --dry-run: what sending the file would take, told on standard output
// without opening a port: the format and the check, the packets and bytes,
// their time on the wire, and the whole time with the Time Gap.

#include "app/cli/sendfilecheck.h"
#include "app/cli/sendsettings.h"

#include <QStringList>

// Prints the plan for `ports` (their names as shown); returns the exit
// status: 1 when the check failed without --force or the file cannot be read.
int RunDryRun(const CliArguments& arguments, const SendFileCheck& check, const SendSettings& settings,
              const QStringList& ports);

// "12.345 s", with minutes and hours beside it from a minute on:
// "754.000 s (12 min 34 s)".
QString DurationText(double seconds);
