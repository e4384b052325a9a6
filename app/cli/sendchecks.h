#pragma once
// What is checked before a "send" touches any board: that several boards
// get a regular file each reads from its start, that no port is named twice
// under two spellings, and that no capture file is the file being sent or
// shared by two ports. Each check gives the mistake to say, or nothing.

#include "app/cli/cliarguments.h"

#include <QString>
#include <QStringList>

#include <optional>

// Several ports: FILE, once opened, must be a regular file (a FIFO or a
// device would hand each board a share of its bytes), and no two ports may
// be one device, whatever their spelling.
std::optional<QString> SeveralPortsMistake(const CliArguments& arguments);

// `capturePaths`, one per port in the order of `ports`: none may be the file
// being sent (the board's bytes would be appended to it while it is read),
// and no two may resolve to one file.
std::optional<QString> CaptureMistake(const CliArguments& arguments, const QStringList& ports,
                                      const QStringList& capturePaths);
