#include "platform.h"

const char kIncompatibleText[] =
    "This version of Hoverlane is not compatible with this version of Windows.";

bool IsWindows95Family() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

PlatformCheck CheckPlatform(DWORD acceptedId, bool showRefusal) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return PlatformCheck::QueryFailed;
    if (IsAcceptedPlatform(info.dwPlatformId, acceptedId)) return PlatformCheck::Accepted;
    if (showRefusal)
        MessageBoxA(GetDesktopWindow(), kIncompatibleText, "Error", MB_SYSTEMMODAL | MB_ICONHAND);
    return PlatformCheck::Refused;
}
