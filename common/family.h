// The two configurations are built from the same sources; the build chooses
// one with HOVERLANE_FAMILY_NT or HOVERLANE_FAMILY_95.
#pragma once

#include <windows.h>

#if defined(HOVERLANE_FAMILY_95)
constexpr DWORD kAcceptedPlatformId = VER_PLATFORM_WIN32_WINDOWS;  // 1
#elif defined(HOVERLANE_FAMILY_NT)
constexpr DWORD kAcceptedPlatformId = VER_PLATFORM_WIN32_NT;  // 2
#else
#error "Build with HOVERLANE_FAMILY_NT or HOVERLANE_FAMILY_95 defined"
#endif
