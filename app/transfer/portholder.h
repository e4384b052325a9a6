#pragma once
// Who holds a serial device: the process that has it locked, found in the
// kernel's lock table (/proc/locks, for flock() holders) or in a UUCP-style
// lock file ("LCK..name", which Qt's serial ports and most serial tools write).

#include <QString>

#include <optional>

struct PortHolder {
    qint64 pid = 0;
    QString name; // the process's command name, empty when it cannot be read
};

// The holder of `devicePath`, other than nobody; nothing when no lock names
// a running process.
[[nodiscard]] std::optional<PortHolder> FindPortHolder(const QString& devicePath);

// "held by process 1234 (minicom)".
QString HolderText(const PortHolder& holder);
