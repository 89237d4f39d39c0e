#include "platform.h"

const char kIncompatibleText[] =
    "This version of Hoverlane is not compatible with this version of Windows.";

PlatformCheck CheckPlatform(DWORD acceptedId, bool showRefusal) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return PlatformCheck::QueryFailed;
    if (IsAcceptedPlatform(info.dwPlatformId, acceptedId)) return PlatformCheck::Accepted;
    if (showRefusal)
        MessageBoxA(GetDesktopWindow(), kIncompatibleText, "Error", MB_SYSTEMMODAL | MB_ICONHAND);
    return PlatformCheck::Refused;
}
