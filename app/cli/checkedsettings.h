#pragma once
// The remembered settings as the command-line sender takes them: an index in
// "Config.dat" that names no item of its list is said on standard error, with
// the file and the field, and the default is used in its place.

#include "app/transfer/portsettings.h"

TPortSettings CheckedSettings(const QString& configPath);
