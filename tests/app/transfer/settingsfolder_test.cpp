// Where "Config.dat" goes: beside a program in a writable folder, otherwise in
// the user's configuration folder.

#include "app/transfer/settingsfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SettingsFolder, ChoosesBesideTheProgramOnlyWhenWritableAndNotInstalled)
{
    struct Case {
        bool writable;
        bool installed;
        const char* xdgConfigHome;
        const char* expected;
    };
    const Case cases[] = {
        {true, false, "/xdg", "/opt/tool"},                 // portable: as it always was
        {false, false, "/xdg", "/xdg/flashupdate"},         // read-only program folder
        {true, true, "/xdg", "/xdg/flashupdate"},           // root in /usr/bin
        {false, false, "", "/home/u/.config/flashupdate"},   // unset
        {false, false, "rel/dir", "/home/u/.config/flashupdate"}, // relative: ignored
        {false, false, "/xdg/", "/xdg/flashupdate"},
    };
    for (const Case& c : cases) {
        const SettingsPlace place {QStringLiteral("/opt/tool"), c.writable, c.installed,
                                   QString::fromLatin1(c.xdgConfigHome), QStringLiteral("/home/u")};
        EXPECT_EQ(ChooseSettingsFolder(place), QString::fromLatin1(c.expected))
            << c.writable << c.installed << c.xdgConfigHome;
    }
}

// Runs as root in CI, where chmod does not stop writes: /proc/self refuses
// new files to root as well.
TEST(SettingsFolder, SeesReadOnlyAndInstalledProgramFolders)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(prefix.path()).mkpath(QStringLiteral("share/applications")));
    const QString bin = prefix.filePath(QStringLiteral("bin"));

    SettingsPlace place = SettingsPlaceOf(bin);
    EXPECT_TRUE(place.programDirWritable);
    EXPECT_FALSE(place.installed);

    QFile desktopEntry(prefix.filePath(QStringLiteral("share/applications/flashupdate.desktop")));
    ASSERT_TRUE(desktopEntry.open(QIODevice::WriteOnly));
    desktopEntry.close();
    EXPECT_TRUE(SettingsPlaceOf(bin).installed);

    place = SettingsPlaceOf(QStringLiteral("/proc/self"));
    EXPECT_FALSE(place.programDirWritable);
    EXPECT_NE(ChooseSettingsFolder(place), place.programDir);
}
