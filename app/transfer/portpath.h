#pragma once
// Where a port name leads, resolved the way the open resolves it, and which
// device a path stands for, so that two spellings of one device are known as one.

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/types.h>

// The device for a port name: "COMn" is /dev/ttyS(n-1), a bare name
// ("ttyUSB0") lives in /dev, a name with a slash is a path, a relative one
// from the working folder. Always absolute, so the open never puts /dev in
// front of a relative path.
QString PortDevicePath(const QString& portName);

// What a path stands for once links are followed: the device number for a
// device (two nodes of one device are the same), otherwise the file system
// and inode.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Nothing when the path does not exist or cannot be examined.
std::optional<FileIdentity> IdentityOf(const QByteArray& path);
// The identity of an open descriptor.
std::optional<FileIdentity> IdentityOf(int fd);
