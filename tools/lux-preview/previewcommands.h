#pragma once
// The previewer's commands, writing to the given streams so tests can run them in-process.

#include <QStringList>

#include <cstdio>

// Runs one command line (without the program name). Returns the exit status: 0 on success,
// 2 on a usage error (one line on `err`), 1 when an output file cannot be written.
int runPreview(const QStringList& args, FILE* out, FILE* err);
