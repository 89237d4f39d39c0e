// Numbers nobody can predict, for names that must not be guessed in
// advance (the folder elevated code runs from).
#pragma once

#include <windows.h>

// From the system's random source where Windows has one (XP and later);
// otherwise (the 95 family) from clocks, counters and ids, mixed.
DWORD RandomNumber();

// The same with the source given: none, or one that fails, gives the mixed
// number.
using RandomSourceFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);
DWORD RandomNumberFrom(RandomSourceFunction source);
