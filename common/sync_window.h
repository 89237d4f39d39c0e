// The hidden window that marks a running hoverlane. setup and the
// uninstaller close a running instance through it.
#pragma once

#include <windows.h>

extern const char kSyncClassName[];  // "SYNCCLASS"

// Sends WM_DESTROY to every "SYNCCLASS" window until none is left. A window
// that does not go away (a hung or foreign one) must not hang the caller, so
// the loop gives up after maxSends sends or timeLimitMs, whichever comes
// first, and each send waits at most sendTimeoutMs. Then waits, at most
// exitWaitMs in all, for the processes whose window went away to end, so
// that their program files are free. Returns the number of sends made.
int CloseRunningInstances(int maxSends = 16, DWORD timeLimitMs = 5000,
                          UINT sendTimeoutMs = 3000, DWORD exitWaitMs = 10000);
