// Functions that only newer Windows have are looked up at run time, so that
// the programs still load on the oldest Windows of their family.
#pragma once

#include <windows.h>

// The function of that name in a system DLL the program has already loaded;
// none where this Windows lacks it.
template <typename Function>
Function SystemFunction(const char* dll, const char* name) {
    const HMODULE module = GetModuleHandleA(dll);
    const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    // Through void*: a FARPROC converts to no other function type directly.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}
