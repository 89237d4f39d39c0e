// hoverlane_uninst: closes a running hoverlane, asks, then removes the
// installed files, the shortcuts and the registry entries. Its only input is
// the command line, the installation folder with one backslash appended.
#pragma once

#include <windows.h>

#include <string>

#include "text.h"  // IsFullyQualified

// Installed files and shortcut files deleted so far.
extern int DeletedCount;

// The program after the system's start-up: the command line without the
// program name. Returns the exit code: 0; with /S, kSomethingLeftExitCode
// when anything was left behind.
int UninstallMain(const char* commandLine);
constexpr int kSomethingLeftExitCode = 1;

// The command line: the installation folder with one backslash appended,
// after "/S " for a silent run (no question, no box).
struct UninstallCommand {
    bool silent = false;
    std::string folder;
};
UninstallCommand ParseUninstallCommand(const std::string& commandLine);

// Rules for the command line, which anyone can write: text only, no disk
// access.
//
// The full form of a path as the file calls resolve it (".", "..", forward
// slashes); empty when it has none.
std::string FullPathOf(const std::string& path);
// A drive or share root ("C:\\", "\\\\server\\share"), for a full path.
bool IsRootPath(const std::string& fullPath);
// Text that may name an installation: fits a path buffer, fully qualified,
// and not a root, whose files are not ours.
bool IsAcceptableFolderText(const std::string& folderText);
// Whether path lies below the folder, both taken in their full form.
bool LiesInside(const std::string& folderText, const std::string& path);

// An acceptable folder text that names an existing folder.
bool NamesInstallation(const std::string& folderText);
// Deletes one file and counts it; then, when asked, removes the folder that
// held it if that is now empty. Silent about failures.
void DeleteInstalledFile(const std::string& path, bool removeEmptyFolder = true);
// The 13 installed files below the folder, in their order; a name that
// would land outside the folder (no trailing backslash) is left alone. A
// silent run moves the program file, in use by the hoverlane that waits
// for it, out of the folder to be deleted at the next restart.
void DeleteInstalledFiles(const std::string& folderText, bool silent = false);
// The shortcuts and the program group. False when one of them is still
// there (read-only, in use, or the group holds files of the user's).
bool RemoveShortcuts();
// Whether the program file at selfPath is a copy that hoverlane made to run
// it: the uninstaller's name, in a folder of the name hoverlane gives it.
bool IsLauncherCopy(const std::string& selfPath);
// For such a copy, the copy and then its folder are deleted at the next
// restart (Windows 95, 98 and Me cannot: the copy stays).
void ScheduleCopyRemoval();
// Whether SHDeleteKeyA's result leaves the key gone: deleted, or never there.
bool KeyIsGone(LONG deleteResult);
// The four registry keys, with everything below them. False when one of
// them is still there (no rights to delete it).
bool RemoveRegistryEntries();
