// The hidden window that marks a running hoverlane: a second start asks it
// to show the running instance, setup and the uninstaller close the instance
// through it.
#pragma once

// Also hoverlane's string 112, which its resource script takes from here.
#define HOVERLANE_SYNC_CLASS "SYNCCLASS"

#ifndef RC_INVOKED

#include <windows.h>

inline constexpr char kSyncClassName[] = HOVERLANE_SYNC_CLASS;

// Sent by a second start: the running instance shows its main window.
constexpr UINT WM_SHOWINSTANCE = 0x8001;

// Sends WM_DESTROY to every "SYNCCLASS" window until none is left. A window
// that does not go away (a hung or foreign one) must not hang the caller, so
// the loop gives up after maxSends sends or timeLimitMs, whichever comes
// first, and each send waits at most sendTimeoutMs. Then waits, at most
// exitWaitMs in all, for the processes whose window went away to end, so
// that their program files are free. Returns the number of sends made.
int CloseRunningInstances(int maxSends = 16, DWORD timeLimitMs = 5000,
                          UINT sendTimeoutMs = 3000, DWORD exitWaitMs = 10000);

#endif
