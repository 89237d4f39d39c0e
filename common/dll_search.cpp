#include "dll_search.h"

#include <windows.h>

#include "system_function.h"

namespace {

using SetDefaultDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

DllSearch RestrictDllSearch() {
    // kernel32 is loaded already: looking it up loads nothing.
    const auto setDefault =
        SystemFunction<SetDefaultDirectoriesFunction>("kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystem32)) return DllSearch::SystemFolderOnly;
    const auto setDirectory = SystemFunction<SetDllDirectoryFunction>("kernel32.dll", "SetDllDirectoryA");
    if (setDirectory && setDirectory("")) return DllSearch::NoCurrentFolder;
    return DllSearch::Unchanged;
}
