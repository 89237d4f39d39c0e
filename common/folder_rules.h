// Which folders may hold an installation: rules on the text alone, shared
// by setup (which refuses to install elsewhere) and the uninstaller (which
// deletes nothing elsewhere).
#pragma once

#include <string>

#include "text.h"  // IsFullyQualified

// The full form of a path as the file calls resolve it (".", "..", forward
// slashes); empty when it has none.
std::string FullPathOf(const std::string& path);
// A drive or share root ("C:\\", "\\\\server\\share"), for a full path.
bool IsRootPath(const std::string& fullPath);
// Whether path lies below the folder, both taken in their full form.
bool LiesInside(const std::string& folderText, const std::string& path);

enum class FolderVerdict { Acceptable, NotFullPath, Root, InsideWindows };
// An installation folder must fit a path buffer, be a full path, not a
// drive or share root (whose files are not ours), and not the Windows
// folder or below it.
FolderVerdict JudgeInstallFolder(const std::string& folderText, const std::string& windowsFolder);
// The exit code that refuses such a folder (0 for an acceptable one).
int ExitCodeOf(FolderVerdict verdict);
// The Windows folder, empty when it cannot be read.
std::string WindowsFolder();
