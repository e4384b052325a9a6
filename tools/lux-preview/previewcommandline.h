#pragma once
// The previewer's command line: a command first, then that command's own arguments and
// options, read with QCommandLineParser (--name value or --name=value; --help after any
// command gives that command's options, before any command the whole program's).

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>

class CheckedOutput;
class QCommandLineParser;

// One command as its help shows it and its parser reads it.
struct PreviewCommand {
    QString name;
    QString synopsis;    // what follows "lux-preview", e.g. "mask EFFECT W H P [--png FILE]"
    QString summary;     // what it does
    int positionals = 0; // how many plain arguments follow the name
    QList<QCommandLineOption> options;
    // Runs the command once its line is read; returns the exit status.
    int (*run)(const QCommandLineParser& line, CheckedOutput& out, FILE* err) = nullptr;
};

// Runs the command that args[0] names (args without the program name), or the program's
// own --help and --version. A mistake on the line gives ExitUsage after one line on `err`.
int runCommandLine(const QList<PreviewCommand>& commands, const QStringList& args, CheckedOutput& out, FILE* err);
