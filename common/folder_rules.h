// Which folders may hold an installation: rules on the text alone, shared
// by setup (which refuses to install elsewhere) and the uninstaller (which
// deletes nothing elsewhere).
#pragma once

#include <windows.h>

#include <string>

#include "text.h"  // IsFullyQualified

// The full form of a path as the file calls resolve it (".", "..", forward
// slashes); empty when it has none.
std::string FullPathOf(const std::string& path);
// A drive or share root ("C:\\", "\\\\server\\share"), for a full path.
bool IsRootPath(const std::string& fullPath);
// Whether path lies below the folder, both taken in their full form.
bool LiesInside(const std::string& folderText, const std::string& path);
// Whether the two name one folder (full forms, any letter case, with or
// without a trailing backslash).
bool SameFolder(const std::string& a, const std::string& b);

enum class FolderVerdict { Acceptable, NotFullPath, NotInCodePage, Root, InsideWindows };
// An installation folder must fit a path buffer, be a full path whose name
// the ANSI code page holds (what it lacks comes through as '?', which no
// file name has), not a drive or share root (whose files are not ours), and
// not the Windows folder or below it.
FolderVerdict JudgeInstallFolder(const std::string& folderText, const std::string& windowsFolder);
// The exit code that refuses such a folder (0 for an acceptable one).
int ExitCodeOf(FolderVerdict verdict);
// The Windows folder, empty when it cannot be read.
std::string WindowsFolder();

// The name a running program file is renamed to before it is deleted at
// the next restart, and whether a name is one of those (any letter case).
std::string RetiredProgramName(DWORD number);
bool IsRetiredProgramName(const std::string& name);
