#include "registry_path.h"

#include <shlwapi.h>

std::string ReadRegistryPath(HKEY root, const char* keyPath, const char* valueName) {
    // SHRegGetPathA assumes a MAX_PATH buffer; the extra zero keeps the text
    // terminated even for data that fills the buffer without a terminator.
    char path[MAX_PATH + 1] = {};
    if (SHRegGetPathA(root, keyPath, valueName, path, 0) != ERROR_SUCCESS) return std::string();
    path[MAX_PATH] = '\0';
    return path;
}
