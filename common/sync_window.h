// The hidden window that marks a running hoverlane. setup and the
// uninstaller close a running instance through it.
#pragma once

#include <windows.h>

extern const char kSyncClassName[];  // "SYNCCLASS"

// Sends WM_DESTROY to every "SYNCCLASS" window until none is left. A window
// that does not go away (a hung or foreign one) must not hang the caller, so
// the loop gives up after maxSends sends or timeLimitMs, whichever comes
// first, and each send waits at most sendTimeoutMs. Returns the number of
// sends made.
int CloseRunningInstances(int maxSends = 16, DWORD timeLimitMs = 5000,
                          UINT sendTimeoutMs = 3000);
