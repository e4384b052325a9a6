#pragma once
// Why a serial port may not be opened, said so that a user can act on it.

#include <QString>

// The hint for an open of `devicePath` that failed with `error` (an errno
// value): when the port was refused because it is open only to a group this
// login is not in (on Debian /dev/ttyUSB0 and /dev/ttyACM0 belong to
// "dialout"), names the group and the fix, `sudo usermod -aG <group> $USER`
// and logging in again. Empty for every other failure.
QString PortPermissionHint(const QString& devicePath, int error);
