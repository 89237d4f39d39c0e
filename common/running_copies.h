// Running copies of an installed hoverlane, in every session: setup must not
// replace, nor the uninstaller remove, a program file that still runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The processes whose program file is programFile (a full path, any letter
// case), except the process `ignore` (the one that waits for the caller).
std::vector<DWORD> ProcessesRunning(const std::string& programFile, DWORD ignore);
// The process that started this one, 0 when unknown.
DWORD ParentProcessId();

// The copies of programFile that the sync window could not reach (another
// session's, another desktop's) are asked to close through the Restart
// Manager where Windows has it (Vista and later), these processes and no
// other (not `ignore`); all in all this waits at most waitMs for every copy
// to end. False when one still runs: nothing waits on it for longer.
bool CloseRunningCopies(const std::string& programFile, DWORD ignore, DWORD waitMs = 5000);
