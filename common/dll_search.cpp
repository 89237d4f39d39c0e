#include "dll_search.h"

#include "platform.h"
#include "system_function.h"

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// What the programs import, what they look up at run time, and what
// Windows loads by name on their behalf: the shell's folder picker and
// links, the common controls' themes, COM, the access-list and token
// functions (XP to 7).
const char* const kLoadedByName[] = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll",   "ole32.dll",    "oleaut32.dll",
    "shell32.dll",  "shlwapi.dll",  "user32.dll",   "gdi32.dll",    "version.dll",  "psapi.dll",
    "rstrtmgr.dll", "ntmarta.dll",  "uxtheme.dll",  "dwmapi.dll",   "propsys.dll",  "clbcatq.dll",
    "cryptbase.dll", "profapi.dll", "userenv.dll",  "secur32.dll",  "sspicli.dll",  "apphelp.dll",
    "setupapi.dll", "linkinfo.dll", "ntshrui.dll",  "cscapi.dll",   "srvcli.dll",   "netapi32.dll",
    "mpr.dll",      "shdocvw.dll",  "browseui.dll", "wtsapi32.dll", "winsta.dll",   "msimg32.dll",
};

}  // namespace

DllSearch RestrictDllSearch() {
    // kernel32 is loaded already: looking it up loads nothing.
    return RestrictDllSearchWith(
        SystemFunction<SetDefaultDirectoriesFunction>("kernel32.dll", "SetDefaultDllDirectories"),
        SystemFunction<SetDllDirectoryFunction>("kernel32.dll", "SetDllDirectoryA"));
}

DllSearch RestrictDllSearchWith(SetDefaultDirectoriesFunction setDefault, SetDllDirectoryFunction setDirectory) {
    if (setDefault && setDefault(kSearchSystem32)) return DllSearch::SystemFolderOnly;
    // A DLL this Windows lacks is simply not there. The 95 family keeps no
    // rights that a planted DLL could take.
    if (!IsWindows95Family())
        for (const char* dll : kLoadedByName) SystemLibrary(dll);
    if (setDirectory && setDirectory("")) return DllSearch::NoCurrentFolder;
    return DllSearch::Unchanged;
}
