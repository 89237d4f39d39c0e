#include "registry_path.h"

#include <shlwapi.h>

#include "handles.h"
#include "system_function.h"

namespace {

using RegGetPathFunction = LONG(WINAPI*)(HKEY, LPCSTR, LPCSTR, LPSTR, DWORD);

}  // namespace

std::string ReadRegistryPath(HKEY root, const char* keyPath, const char* valueName) {
    // Shell utilities 5.0; Windows 98 has 4.72.
    static const auto regGetPath = SystemFunction<RegGetPathFunction>("shlwapi.dll", "SHRegGetPathA");
    if (!regGetPath) return ReadRegistryPathByHand(root, keyPath, valueName);
    // SHRegGetPathA assumes a MAX_PATH buffer; the extra zero keeps the text
    // terminated even for data that fills the buffer without a terminator.
    char path[MAX_PATH + 1] = {};
    if (regGetPath(root, keyPath, valueName, path, 0) != ERROR_SUCCESS) return std::string();
    path[MAX_PATH] = '\0';
    return path;
}

std::string ReadRegistryPathByHand(HKEY root, const char* keyPath, const char* valueName) {
    ScopedRegKey key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::string();
    char data[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD size = MAX_PATH;
    if (RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    data[size < MAX_PATH ? size : MAX_PATH] = '\0';
    if (type == REG_SZ) return data;
    char expanded[MAX_PATH] = {};
    const DWORD needed = ExpandEnvironmentStringsA(data, expanded, MAX_PATH);
    if (needed == 0 || needed > MAX_PATH) return std::string();
    return expanded;
}
