// What an installation of Hoverlane consists of: the files under the
// installation folder, the shortcuts and the registry entries. setup makes
// them, the uninstaller removes them; both read them from here.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "registry_layout.h"

// The installed files, relative to the installation folder, in the order the
// uninstaller deletes them: the last file of each folder comes after the
// others, so that the folder is empty once it is gone. setup's build reads
// this list too (one quoted name a line, as below): it carries each file but
// the program from setup/payload, under its name in lower case.
inline constexpr int kInstalledFileCount = 13;
inline constexpr const char* kInstalledFiles[kInstalledFileCount] = {
    "Help\\Images\\Automatic Monitoring.jpg",
    "Help\\Images\\Getting Started.jpg",
    "Help\\Images\\Monitoring Time.jpg",
    "Help\\Images\\Tree View.jpg",
    "Help\\Introduction.htm",
    "Help\\Getting started.htm",
    "Help\\Help.htm",
    "Help\\Always in Sight.htm",
    "Help\\Monitoring Time.htm",
    "Help\\Registering programs.htm",
    "Help\\Table of contents.htm",
    "Hoverlane.exe",
    "license.txt",
};

// hoverlane /Uninstall writes the uninstaller it carries under this name
// into a new folder of its own in the temporary folder (the prefix and eight
// hexadecimal digits) and starts it from there.
inline constexpr char kUninstallerFileName[] = "hoverlane_uninst.exe";
inline constexpr char kUninstallerFolderPrefix[] = "hoverlane_uninst-";

// Shortcuts, in the current user's special folders.
inline constexpr char kProgramGroup[] = "Hoverlane";  // below the Programs folder
inline constexpr char kAppShortcut[] = "Hoverlane.lnk";
inline constexpr char kHelpShortcut[] = "Help.lnk";

struct InstalledShortcut {
    int folder;              // CSIDL of the special folder
    const char* relative;    // appended to the folder's path
    bool isProgramGroup;     // the group folder itself, removed when empty
    bool removeEmptyFolder;  // remove the folder that held the link once empty
};

// In the order the uninstaller removes them. The desktop and Startup folders
// are the user's own and stay even when empty; the program group goes with
// its last link.
inline constexpr InstalledShortcut kInstalledShortcuts[] = {
    {CSIDL_DESKTOP, "\\Hoverlane.lnk", false, false},
    {CSIDL_PROGRAMS, "\\Hoverlane\\Hoverlane.lnk", false, true},
    {CSIDL_PROGRAMS, "\\Hoverlane\\Help.lnk", false, true},
    {CSIDL_PROGRAMS, "\\Hoverlane", true, false},
    {CSIDL_STARTUP, "\\Hoverlane.lnk", false, false},
};

struct InstalledKey {
    HKEY root;
    const char* path;
};

// Removed with everything below them, in this order. The maker's key goes in
// both hives, and with it the settings and the registered programs.
inline const InstalledKey kInstalledKeys[] = {
    {HKEY_LOCAL_MACHINE, kUninstallEntryKey},
    {HKEY_LOCAL_MACHINE, kMakerKey},
    {HKEY_CURRENT_USER, kMakerKey},
    {HKEY_LOCAL_MACHINE, kAppPathKey},
};
