// The hint for a port refused because of its group.

#include "app/transfer/portpermission.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A gid this process is not in; the test needs root (as in CI) to give a file to it.
constexpr gid_t ForeignGroup = 54321;

} // namespace

TEST(PortPermission, NamesTheGroupAndTheFixOnlyWhenTheGroupIsWhatRefused)
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyUSB9"));
    QFile file(device);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray path = QFile::encodeName(device);
    if (::chown(path.constData(), static_cast<uid_t>(-1), ForeignGroup) != 0)
        GTEST_SKIP() << "needs root to give a file to a group it is not in";
    // Owned by someone else, as /dev/ttyUSB0 is by root.
    ASSERT_EQ(::chown(path.constData(), 12345, static_cast<gid_t>(-1)), 0);

    struct Case {
        mode_t mode;
        gid_t group;
        int error;
        bool hint;
    };
    const Case cases[] = {
        {0660, ForeignGroup, EACCES, true},
        {0660, ForeignGroup, EPERM, true},
        {0660, ForeignGroup, ENOENT, false}, // another failure
        {0660, ForeignGroup, EBUSY, false},
        {0600, ForeignGroup, EACCES, false}, // the group may not open it either
        {0666, ForeignGroup, EACCES, false}, // everyone may: not the group's doing
        {0660, ::getegid(), EACCES, false},  // in the group already
    };
    for (const Case& c : cases) {
        ASSERT_EQ(::chmod(path.constData(), c.mode), 0);
        ASSERT_EQ(::chown(path.constData(), static_cast<uid_t>(-1), c.group), 0);
        const QString hint = PortPermissionHint(device, c.error);
        EXPECT_EQ(!hint.isEmpty(), c.hint) << c.mode << ' ' << c.error << ' ' << hint.toStdString();
    }

    ASSERT_EQ(::chmod(path.constData(), 0660), 0);
    ASSERT_EQ(::chown(path.constData(), static_cast<uid_t>(-1), ForeignGroup), 0);
    const ::group* known = ::getgrgid(ForeignGroup);
    const QString group = known ? QString::fromLocal8Bit(known->gr_name) : QString::number(ForeignGroup);
    EXPECT_EQ(PortPermissionHint(device, EACCES),
              QStringLiteral("Permission denied: %1 is open to the group \"%2\" only, and this login is not "
                             "in it. Fix: sudo usermod -aG %2 $USER, then log out and log in again.")
                  .arg(device, group));
    EXPECT_TRUE(PortPermissionHint(dir.filePath(QStringLiteral("gone")), EACCES).isEmpty());
}
