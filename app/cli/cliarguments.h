#pragma once
// The command line of flashupdate-cli, read with QCommandLineParser.

#include "app/transfer/lineformat.h"
#include "app/transfer/replywait.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct CliArguments {
    enum class Command { Help, Version, Send, Ports };
    Command command = Command::Help;
    QString file;
    QByteArray filePath; // the file as the system names it ("-" is standard input)
    QStringList ports;   // every --port in order; none: the port in the settings
    std::optional<QString> baud;
    std::optional<int> gapMs;
    std::optional<int> blockSize; // block mode with this Data Size
    bool lines = false;           // line mode even if the settings say blocks
    LineFormat lineFormat;        // 8N1 without flow control unless chosen
    QByteArray waitFor;           // wait for this answer after each packet (empty: no waiting)
    int replyTimeoutMs = DefaultReplyTimeoutMs;    // how long to wait for it
    QString captureFile;          // every received byte appended here too
    bool timestamps = false;      // received lines prefixed with the time since Start
    int lingerMs = 300;           // keep showing received text until quiet this long, at most this long after the end
    bool raw = false;             // received bytes to a terminal unescaped
    bool standardInputClosed = false; // the program started without a standard input
    bool dryRun = false;          // open no port: tell what the transfer would take
    bool force = false;           // send a firmware file whose check failed
    QString reportFile;           // write the JSON record of the run here (empty: none)
};

// The longest --linger: a board that never falls quiet does not keep the
// sender running longer than this after the end.
constexpr int MaxLingerMs = 600000;

// Parses the arguments after the program name; on a mistake returns nothing
// and puts the reason, naming the option, in `error`.
std::optional<CliArguments> ParseCliArguments(const QStringList& arguments, QString& error);

// The text --help prints: the commands, every option, the settings file and
// the exit statuses.
QString CliUsage();
