// Who may change the folders that elevated code runs from, or that every
// user's logon runs: their access lists as SDDL text (plain functions, for
// the tests), and setting them. Windows of the 95 family has no file
// security: there nothing is set.
#pragma once

#include <windows.h>

#include <string>

// The uninstaller's copy, while hoverlane writes it: SYSTEM, the
// Administrators and its maker (userSid) have full control, nobody else
// any right, inherited by nothing else (protected).
std::string CopyFolderWhileWritten(const std::string& userSid);
// Once written: the maker may only read, run and delete it, and OWNER
// RIGHTS gets read and run, so that owning the folder gives no right to
// change its list.
std::string CopyFolderProtected(const std::string& userSid);
// An installation folder outside Program Files (which keeps its own):
// SYSTEM and the Administrators full control, Users read and execute.
std::string InstallFolderProtected();

// The SID of this process's user as text, "S-1-5-18" for SYSTEM; empty
// where Windows has none (95 family) or it cannot be read.
std::string CurrentUserSid();
inline bool IsLocalSystem(const std::string& sid) {
    return sid == "S-1-5-18";
}

// Makes the folder with that access list (an empty one: inherited, as
// where Windows keeps no file security). The system's error code, ERROR_SUCCESS when made.
DWORD CreateFolderWithAccess(const std::string& folder, const std::string& sddl);
// Gives an existing folder that access list, also to what it holds, and
// logs it. True also where nothing can be set: a volume without access
// lists (FAT) or the 95 family. False, logged, when it could not be set.
bool ProtectFolder(const std::string& folder, const std::string& sddl);
