// Text rules of the installer, kept free of window and file calls so that
// they can be checked on their own.
#pragma once

#include <string>
#include <vector>

#include "folder_security.h"  // IsLocalSystem

// The folder the options dialog shows after the user picked `picked` in the
// folder picker: kept when it already ends with "Hoverlane" (any letter
// case), otherwise with "\Hoverlane" appended. A drive root such as "C:\"
// already ends with its separator and gets none more.
std::string WithProductFolder(const std::string& picked);

// The folder the options dialog proposes: the programs folder (the
// "ProgramFilesDir" value) with "\Hoverlane". Without a full path there, the
// system drive's "\Hoverlane", taken from the Windows folder's drive (C:
// when that has none): never a folder relative to whatever drive is current.
std::string ProposedInstallFolder(const std::string& programFilesDir,
                                  const std::string& windowsFolder);

// Whether the folder lies inside one of the programs folders (Program
// Files, and on 64-bit Windows Program Files (x86)), which keep their own
// rights: only the Administrators may change what is in them.
bool InsideProgramsFolder(const std::string& folder, const std::vector<std::string>& programsFolders);

// Shortcuts for all users: asked for with /AllUsers, or setup runs as SYSTEM
// (a deployment tool), whose own folders no user ever sees.
inline bool ShortcutsForAllUsers(bool allUsersSwitch, const std::string& userSid) {
    return allUsersSwitch || IsLocalSystem(userSid);
}

// Text of the NT family's Unicode forms (a command line, a picked folder)
// in the ANSI code page that setup works in, every character the code page
// lacks written as '?' (never as a look-alike letter, which would name
// another folder): such a folder is then refused by its name.
std::string InCodePage(const wchar_t* text);
// The command line after the program's name: on the NT family read in its
// Unicode form and put through InCodePage; ansi, the system's own
// conversion, elsewhere.
std::string CommandLineInCodePage(const char* ansi);

// Installed path, relative to the installation folder, of a payload
// resource: the name in lower case with every "_" turned into a blank.
std::string InstalledRelativePath(const std::string& resourceName);

// The folder prefixes that making `path` examines, parent before child: the
// text before each backslash after the first character, the path itself
// last. A share path starts below its share, which is its root:
// "\\server\share\a" yields only itself.
std::vector<std::string> DirectoryPrefixes(const std::string& path);

// One thing an existing folder holds: its path relative to the folder, and
// whether it is a folder or a link (a junction, a symbolic link).
struct FolderEntry {
    std::string relative;
    bool folder = false;
    bool link = false;
};
// Whether a folder holding these may take an installation: nothing but an
// installation's own files and folders (any letter case), and program files
// it left to be deleted at the restart; no link anywhere.
bool HoldsOnlyAnInstallation(const std::vector<FolderEntry>& entries);

// The folder part of a file path (everything before its last element), as
// the shell's PathRemoveFileSpec gives it, without any length limit.
std::string FolderOfFile(const std::string& filePath);
