#pragma once
// Where the tool keeps its small files ("Config.dat" and the like). A copy run
// from a folder it may write to (a build tree, an unpacked folder on a USB
// stick) keeps them beside the program, as it always has. An installed
// program keeps them in the user's configuration folder instead,
// $XDG_CONFIG_HOME/flashupdate (by default ~/.config/flashupdate), where every
// user can write: the window and flashupdate-cli share that folder.

#include <QString>

// The folder's name under the user's configuration folder.
inline constexpr char SettingsFolderName[] = "flashupdate";

// What the choice depends on.
struct SettingsPlace {
    QString programDir;              // folder of the executable
    bool programDirWritable = false; // this user may create files there
    bool installed = false;          // bin/ of an installed tree (share/applications beside it)
    QString xdgConfigHome;           // $XDG_CONFIG_HOME as set, maybe empty
    QString home;                    // the user's home folder
};

// The program's folder when it is writable and not an installed bin/ (root
// may write to /usr/bin, but settings do not belong there); otherwise
// "flashupdate" in $XDG_CONFIG_HOME, or in ~/.config when that is unset or not
// an absolute path.
QString ChooseSettingsFolder(const SettingsPlace& place);

// The facts for a program in `programDir`, from the file system and the environment.
SettingsPlace SettingsPlaceOf(const QString& programDir);

// The folder for this program (made when it is missing): every small file the
// tool remembers goes here.
QString SettingsFolder();
