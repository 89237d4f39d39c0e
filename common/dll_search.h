// The programs that run with administrator rights (setup, the uninstaller)
// load DLLs from the system folder only: a DLL dropped beside them (in the
// Downloads folder, say) is never loaded.
#pragma once

// Called first thing. SetDefaultDllDirectories where Windows has it (7 with
// its update, 8 and later); otherwise SetDllDirectoryA("") (XP SP1 and
// later), which at least takes the current folder out of the search. The
// 95 family has neither. Returns which it could do.
enum class DllSearch { SystemFolderOnly, NoCurrentFolder, Unchanged };
DllSearch RestrictDllSearch();
