// The programs that run with administrator rights (setup, the uninstaller)
// load DLLs from the system folder only: a DLL dropped beside them (in the
// Downloads folder, say) is never loaded.
#pragma once

#include <windows.h>

// Called first thing. SetDefaultDllDirectories where Windows has it (7 with
// its update, 8 and later). Otherwise every DLL that the programs, the shell
// and the common controls load by name is loaded first from the system
// folder by its full path, so that a later search by name finds it loaded
// already, and SetDllDirectoryA("") (XP SP1 and later) takes the current
// folder out of the search. The 95 family has neither function. Returns
// which it could do.
enum class DllSearch { SystemFolderOnly, NoCurrentFolder, Unchanged };
DllSearch RestrictDllSearch();

// The same with the two functions given (none where Windows lacks them).
using SetDefaultDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
DllSearch RestrictDllSearchWith(SetDefaultDirectoriesFunction setDefault, SetDllDirectoryFunction setDirectory);
