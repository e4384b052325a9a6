#pragma once
// Reading the small files the tool keeps ("Config.dat", "Port.txt",
// "LastFile.txt", "WaitForReply.txt"): opened without waiting, so a FIFO in
// their place holds nothing up, and read only when they are regular files of
// at most a few KiB, so a link to /dev/zero or a huge file costs nothing.
// Anything else is ignored, and said on standard error with the file's name.

#include <QByteArray>
#include <QString>

#include <optional>

// The most a kept file may hold.
inline constexpr qint64 SideFileLimit = 4096;

// The file's bytes; nothing when it is missing (said only when it exists but
// is no regular file, is larger than `maxBytes` or cannot be read).
std::optional<QByteArray> ReadSideFile(const QString& path, qint64 maxBytes = SideFileLimit);
