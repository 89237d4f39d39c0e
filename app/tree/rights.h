// Programs running with higher rights: from Windows Vista on, a program may
// not move or activate the windows of a program whose integrity level is
// higher than its own (an elevated one, say), so the tick leaves them alone.
#pragma once

#include <windows.h>

// PROCESS_QUERY_LIMITED_INFORMATION (Vista and later): the least right that
// asks a process about itself, granted for more processes than the full one.
constexpr DWORD kQueryLimitedInformation = 0x1000;

// Integrity levels as the token's label gives them (0x2000 medium, 0x3000
// high, 0x4000 system); 0 stands for unknown: Windows before Vista, a
// process that cannot be opened, a 95-family Windows.
inline bool HasHigherRights(DWORD theirLevel, DWORD ourLevel) {
    return theirLevel != 0 && ourLevel != 0 && theirLevel > ourLevel;
}

// The integrity level of a process (this process for its own id); 0 when
// unknown. The functions are looked up at run time.
DWORD ProcessIntegrityLevel(DWORD processId);

// Whether the process runs with higher rights than hoverlane.
bool RunsWithHigherRights(DWORD processId);
