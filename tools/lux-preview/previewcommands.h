#pragma once
// The previewer's commands, writing to the given streams.

#include <QStringList>

#include <cstdio>

class CheckedOutput;

// Runs one command line (without the program name). Returns the exit status: ExitDone,
// ExitUsage on a usage error (one line on `err`), ExitFileError when an output file cannot
// be written. A failed write to `out` ends the command; the caller reports it.
int runPreview(const QStringList& args, CheckedOutput& out, FILE* err);
