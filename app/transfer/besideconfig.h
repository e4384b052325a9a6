#pragma once
// Small text files kept in the folder of "Config.dat" for what its fixed
// 20-byte record has no room for (a device path, the last file, the reply wait).

#include "app/transfer/transfererror.h"

#include <QString>
#include <QStringList>

QString PathBesideConfig(const QString& configPath, const QString& fileName);

// The file's lines (without line ends); none when it is missing or unreadable,
// not a regular file or too large (ReadSideFile).
QStringList ReadLinesBeside(const QString& configPath, const QString& fileName);

// Replaces the file with `lines`, each ended by a line feed. A file that
// cannot be written comes back as a SaveFile failure with the system's reason;
// with no settings folder (an empty `configPath`) there is nothing to keep.
TransferError WriteLinesBeside(const QString& configPath, const QString& fileName, const QStringList& lines);
