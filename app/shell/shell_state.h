// The references that start-up sets and the main window and its commands
// use, for the whole run. Everything runs on the one GUI thread, so nothing
// here is locked.
#pragma once

#include <windows.h>

#include <string>

// The program's module, for its resources, windows and dialogs.
extern HINSTANCE Instance;
// The installation folder with one backslash appended; empty when none is
// recorded.
extern std::string InstallDirectory;
// The hidden window that marks this running instance.
extern HWND SyncWindow;
// None before the main window is created and once it is destroyed.
extern HWND MainWindow;
// The shell's message that the taskbar was made anew (the tray icon goes
// back in).
extern UINT TaskbarCreatedMessage;

// Every value above back to its start.
void ResetShellState();
