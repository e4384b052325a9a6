#include "app/transfer/portpermission.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr mode_t ReadWrite = S_IRGRP | S_IWGRP;

// The process's own groups: a user added to a group gets it at the next login,
// so these, not /etc/group, decide what this session may open.
bool inGroup(gid_t group)
{
    if (::getegid() == group)
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<size_t>(std::max(count, 0)));
    const int got = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

QString groupName(gid_t group)
{
    if (const ::group* entry = ::getgrgid(group))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(group);
}

} // namespace

QString PortPermissionHint(const QString& devicePath, int error)
{
    if (error != EACCES && error != EPERM)
        return {};
    struct stat info {};
    if (::stat(QFile::encodeName(devicePath).constData(), &info) != 0)
        return {};
    // Refused because of the group: the group may read and write, everyone
    // else may not, and this login is neither the owner nor in the group.
    const bool groupOpens = (info.st_mode & ReadWrite) == ReadWrite;
    const bool othersOpen = (info.st_mode & (S_IROTH | S_IWOTH)) == (S_IROTH | S_IWOTH);
    if (!groupOpens || othersOpen || info.st_uid == ::geteuid() || inGroup(info.st_gid))
        return {};
    const QString group = groupName(info.st_gid);
    return QStringLiteral("Permission denied: %1 is open to the group \"%2\" only, and this login "
                          "is not in it. Fix: sudo usermod -aG %2 $USER, then log out and log in again.")
        .arg(devicePath, group);
}
