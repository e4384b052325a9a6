#pragma once
// Lock files of serial devices ("LCK..ttyUSB0" in /var/lock and the other
// usual folders, the process id as text on the first line) that outlived
// their process: by the convention such a file may be taken over once the
// process it names is gone, so the next open does not fail on a dead lock.

#include <QString>

// The lock-file name for `devicePath` as Qt's serial port names it: the path
// without its first five characters (its /dev/), slashes made '_'.
QString LockFileName(const QString& devicePath);

// Removes the lock files of `devicePath` whose process no longer runs; a
// lock whose process runs, or whose holder cannot be read, stays.
void RemoveStaleLockFiles(const QString& devicePath);
