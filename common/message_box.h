// Message boxes of hoverlane and the uninstaller: their buttons speak the
// system's default language.
#pragma once

#include <windows.h>

inline int SystemLanguageBox(HWND owner, const char* text, const char* caption, UINT flags) {
    return MessageBoxExA(owner, text, caption, flags,
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT));  // 0x800
}
