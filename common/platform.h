// Start-up check shared by hoverlane and setup: each configuration runs on
// one platform family only.
#pragma once

#include <windows.h>

enum class PlatformCheck { Accepted, QueryFailed, Refused };

// True when the platform id is the one the configuration accepts.
inline bool IsAcceptedPlatform(DWORD platformId, DWORD acceptedId) {
    return platformId == acceptedId;
}

// Queries the version; on a refused platform shows the system-modal
// incompatibility box, unless told not to (a silent setup). A failed query
// shows nothing.
PlatformCheck CheckPlatform(DWORD acceptedId, bool showRefusal = true);

extern const char kIncompatibleText[];

// No system box for a drive without its medium or a file that cannot be
// opened (a /LOG= or /D= on an empty drive): a silent run has nobody to
// answer one, and the call that failed reports it. Called first thing.
inline void NoSystemErrorBoxes() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

// Whether this is a Windows of the 95 family (platform id 1): no file
// security, no MoveFileExA that works.
bool IsWindows95Family();
