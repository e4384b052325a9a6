#pragma once
// The command line of flashupdate-cli.

#include "app/transfer/replywait.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct CliArguments {
    enum class Command { Help, Version, Send, Ports };
    Command command = Command::Help;
    QString file;
    QByteArray filePath; // the file as the system names it ("-" is standard input)
    std::optional<QString> port;
    std::optional<QString> baud;
    std::optional<int> gapMs;
    std::optional<int> blockSize; // block mode with this Data Size
    bool lines = false;           // line mode even if the settings say blocks
    QByteArray waitFor;           // wait for this answer after each packet (empty: no waiting)
    int replyTimeoutMs = DefaultReplyTimeoutMs;    // how long to wait for it
    QString captureFile;          // every received byte appended here too
    bool timestamps = false;      // received lines prefixed with the time since Start
    int lingerMs = 300;           // keep showing received text this long after the end
};

// Parses the arguments after the program name; on a mistake returns nothing
// and puts the reason in `error`.
std::optional<CliArguments> ParseCliArguments(const QStringList& arguments, QString& error);

extern const char CliUsage[];
