// The bytes of a resource that a program carries (setup's files, the
// uninstaller inside hoverlane, the licence text).
#pragma once

#include <windows.h>

struct ResourceBytes {
    const void* bytes = nullptr;  // none when it cannot be found, loaded or locked
    DWORD size = 0;
};

// Resources stay mapped with their module: nothing to release.
inline ResourceBytes FindResourceBytes(HMODULE module, const char* name, const char* type) {
    ResourceBytes resource;
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    resource.bytes = loaded ? LockResource(loaded) : nullptr;
    if (resource.bytes) resource.size = SizeofResource(module, found);
    return resource;
}
