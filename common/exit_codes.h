// What setup and an uninstallation tell the script or deployment tool that
// ran them. One table for both, so that a number means the same wherever
// both can end with it.
#pragma once

// Installed, or removed with nothing left behind (also a user's "I decline"
// or "Cancel", which write nothing).
constexpr int kExitSuccess = 0;
// setup: a file could not be written. Uninstalling: something was left
// behind (read-only, in use, no rights to it).
constexpr int kExitFiles = 1;
// setup: a registry value could not be written. hoverlane /Uninstall: the
// uninstaller could not be started.
constexpr int kExitRegistry = 2;
constexpr int kExitUninstallerNotStarted = 2;
// setup: a shortcut could not be made.
constexpr int kExitShortcuts = 3;
// The program is for the other Windows family.
constexpr int kExitWrongFamily = 4;
// The installation folder is refused before anything is written or
// removed: not a full path, a drive or share root, inside the Windows folder.
constexpr int kExitFolderNotFullPath = 5;
constexpr int kExitFolderIsRoot = 6;
constexpr int kExitFolderInWindows = 7;
// A running Hoverlane could not be closed; nothing was replaced or removed.
constexpr int kExitStillRunning = 8;
// A switch that the program does not know, or one without its value.
constexpr int kExitBadSwitch = 9;
// The log that /LOG= asked for cannot be written.
constexpr int kExitLogUnwritable = 10;
// Memory ran out.
constexpr int kExitNoMemory = 11;
// setup: the folder holds what is not an installation's, or is a link to
// another folder; nothing written.
constexpr int kExitFolderNotOurs = 12;
// setup: Hoverlane is installed in another folder (the one "Install
// Destination" names); nothing written.
constexpr int kExitInstalledElsewhere = 13;
// hoverlane /Uninstall /S: the uninstaller did not end in time; it may
// still be working.
constexpr int kExitTimedOut = 14;
// Done, but Windows finishes the removal when it next starts (the code
// installers use for "success, restart required").
constexpr int kExitRestartNeeded = 3010;
