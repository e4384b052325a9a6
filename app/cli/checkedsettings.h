#pragma once
// The remembered settings as the command-line sender takes them: an index in
// "Config.dat" that names no item of its list is said on standard error, with
// the file and the field, and the default is used in its place. The port is
// not guessed: it is the one the window would open, or none.

#include "app/transfer/portsettings.h"

#include <optional>

TPortSettings CheckedSettings(const QString& configPath);

// The port the window would open with `settings`: the item of the port list,
// or the device path remembered in "Port.txt" beside "Config.dat". Nothing,
// with the reason in `error`, when neither names a port.
std::optional<QString> RememberedPort(const TPortSettings& settings, const QString& configPath, QString& error);
