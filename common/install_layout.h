// What an installation of Hoverlane consists of: the files under the
// installation folder, the shortcuts and the registry entries. setup makes
// them, the uninstaller removes them; both read them from here.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "installed_files.h"
#include "registry_layout.h"

// The installed files, relative to the installation folder, in the order the
// uninstaller deletes them; their one home is common/installed_files.txt,
// from which the build writes installed_files.h.
inline constexpr int kInstalledFileCount = HOVERLANE_INSTALLED_FILE_COUNT;
inline constexpr const char* kInstalledFiles[kInstalledFileCount] = {HOVERLANE_INSTALLED_FILES};
// Among them: the program, the page the Help command opens, the licence.
inline constexpr char kProgramFile[] = HOVERLANE_PROGRAM_FILE;
// The name setup writes the program under, in lower case like every
// installed file, as the registry values name it.
inline constexpr char kInstalledProgramFile[] = HOVERLANE_INSTALLED_PROGRAM;
// Installed in lower case, the name the Help command and its shortcut open.
inline constexpr char kHelpPage[] = HOVERLANE_INSTALLED_HELP_PAGE;
inline constexpr char kLicenceFile[] = HOVERLANE_LICENCE_FILE;

// A program file that runs while it is removed goes at the next restart
// under a name of its own in its folder, the prefix and eight hexadecimal
// digits: a new installation before the restart writes the program anew
// beside it and keeps it.
inline constexpr char kRetiredProgramPrefix[] = HOVERLANE_INSTALLED_PROGRAM ".retired-";

// hoverlane /Uninstall writes the uninstaller it carries under this name
// into a new folder of its own in the temporary folder (the prefix and eight
// hexadecimal digits) and starts it from there.
inline constexpr char kUninstallerFileName[] = "hoverlane_uninst.exe";
inline constexpr char kUninstallerFolderPrefix[] = "hoverlane_uninst-";

// The product's folder: the last part of the proposed installation folder,
// and the program group below the Programs folder.
#define HOVERLANE_FOLDER "Hoverlane"
#define HOVERLANE_APP_SHORTCUT "Hoverlane.lnk"
#define HOVERLANE_HELP_SHORTCUT "Help.lnk"
inline constexpr char kProductFolder[] = HOVERLANE_FOLDER;
inline constexpr char kProgramGroup[] = HOVERLANE_FOLDER;
// Shortcuts, in the current user's special folders.
inline constexpr char kAppShortcut[] = HOVERLANE_APP_SHORTCUT;
inline constexpr char kHelpShortcut[] = HOVERLANE_HELP_SHORTCUT;

struct InstalledShortcut {
    int folder;              // CSIDL of the current user's special folder
    int commonFolder;        // CSIDL of the same folder for all users
    const char* relative;    // appended to the folder's path
    bool isProgramGroup;     // the group folder itself, removed when empty
    bool removeEmptyFolder;  // remove the folder that held the link once empty
};

// In the order the uninstaller removes them, from the current user's
// folders and from the folders of all users (where setup puts them when it
// runs as SYSTEM or with /AllUsers). The desktop and Startup folders are
// the users' own and stay even when empty; the program group goes with its
// last link.
inline constexpr InstalledShortcut kInstalledShortcuts[] = {
    {CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY, "\\" HOVERLANE_APP_SHORTCUT, false, false},
    {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, "\\" HOVERLANE_FOLDER "\\" HOVERLANE_APP_SHORTCUT, false, true},
    {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, "\\" HOVERLANE_FOLDER "\\" HOVERLANE_HELP_SHORTCUT, false, true},
    {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, "\\" HOVERLANE_FOLDER, true, false},
    {CSIDL_STARTUP, CSIDL_COMMON_STARTUP, "\\" HOVERLANE_APP_SHORTCUT, false, false},
};

struct InstalledKey {
    HKEY root;
    const char* path;
};

// Removed with everything below them, in this order. The product's key goes
// in both hives, and with it the settings and the registered programs; the
// maker's key above it then only where nothing else is left in it (other
// products of the maker keep theirs).
inline const InstalledKey kInstalledKeys[] = {
    {HKEY_LOCAL_MACHINE, kUninstallEntryKey},
    {HKEY_LOCAL_MACHINE, kProductKey},
    {HKEY_CURRENT_USER, kProductKey},
    {HKEY_LOCAL_MACHINE, kAppPathKey},
};
inline const HKEY kMakerKeyRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
