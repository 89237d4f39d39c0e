// hoverlane_uninst: closes a running hoverlane, asks, then removes the
// installed files, the shortcuts and the registry entries. Its only input is
// the command line: the installation folder with one backslash appended,
// or switches (/S, /LOG=) with the folder after /D=.
#pragma once

#include <windows.h>

#include <string>

#include "folder_rules.h"

// Installed files and shortcut files deleted so far.
extern int DeletedCount;

// The program after the system's start-up: the command line without the
// program name. Returns the exit code (exit_codes.h); without /S it is 0,
// but for a command line it cannot read.
int UninstallMain(const char* commandLine);

// The command line: the installation folder with one backslash appended,
// or, when it starts with a switch, the switches and the folder after /D=
// (hoverlane hands them on so).
struct UninstallCommand {
    bool silent = false;
    std::string folder;
    std::string log;      // /LOG='s file
    std::string unknown;  // a word that is not understood
};
UninstallCommand ParseUninstallCommand(const std::string& commandLine);

// Text that may name an installation: fits a path buffer, fully qualified,
// and not a root, whose files are not ours.
bool IsAcceptableFolderText(const std::string& folderText);
// An acceptable folder text that names an existing folder.
bool NamesInstallation(const std::string& folderText);
// Deletes one file and counts it; then, when asked, removes the folder that
// held it if that is now empty. Silent about failures; true when deleted.
bool DeleteInstalledFile(const std::string& path, bool removeEmptyFolder = true);

// What became of the installed files.
struct FilesOutcome {
    bool left = false;     // one is still there and stays
    bool restart = false;  // one goes only when Windows restarts
};
// The 13 installed files below the folder, in their order; a name that
// would land outside the folder (no trailing backslash) is left alone. A
// file that was already missing is not left behind. The program file, when
// still in use (by the hoverlane that waits for this run, or a copy that
// could not be closed), is moved out of the folder into the copy's own, or
// else deleted when Windows restarts.
FilesOutcome DeleteInstalledFiles(const std::string& folderText);
// The shortcuts and the program group, the current user's and all users'.
// False when one of them is still there (read-only, in use, or the group
// holds files of the user's).
bool RemoveShortcuts();
// Whether the program file at selfPath is a copy that hoverlane made to run
// it: the uninstaller's name, in a folder of the name hoverlane gives it.
bool IsLauncherCopy(const std::string& selfPath);
// For such a copy, the copy and then its folder are deleted at the next
// restart (on the 95 family only the copy: wininit.ini deletes no folders).
void ScheduleCopyRemoval();
// Whether SHDeleteKeyA's result leaves the key gone: deleted, or never there.
bool KeyIsGone(LONG deleteResult);
// The four registry keys, with everything below them, then the maker's key
// where it is left empty. False when one of the four
// is still there (no rights to delete it).
bool RemoveRegistryEntries();
