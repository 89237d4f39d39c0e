// Functions that only newer Windows have are looked up at run time, so that
// the programs still load on the oldest Windows of their family.
#pragma once

#include <windows.h>

#include <cstring>

// A system DLL: the one the program has loaded already, or else the one in
// the system folder, never one lying beside the program. None where this
// Windows lacks it.
inline HMODULE SystemLibrary(const char* dll) {
    if (const HMODULE loaded = GetModuleHandleA(dll)) return loaded;
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    const size_t nameLength = std::strlen(dll);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, dll, nameLength + 1);
    return LoadLibraryA(path);
}

// The function of that name in a system DLL; none where this Windows lacks
// it.
template <typename Function>
Function SystemFunction(const char* dll, const char* name) {
    const HMODULE module = SystemLibrary(dll);
    const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    // Through void*: a FARPROC converts to no other function type directly.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}
