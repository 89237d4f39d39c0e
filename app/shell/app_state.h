// Process-wide state of hoverlane's shell. Everything runs on the one GUI
// thread, so nothing here is locked.
#pragma once

#include <windows.h>

#include <string>

#include "sync_window.h"  // WM_SHOWINSTANCE, from a second start

// The tray icon reports mouse events to the main window.
constexpr UINT WM_TRAYNOTIFY = 0x8002;

extern HINSTANCE Instance;
extern HWND MainWindow;
extern HWND SyncWindow;
// The installation folder with one backslash appended.
extern std::string InstallDirectory;
extern HWND TreeView;
extern HWND StatusBar;
// True while the main window is hidden in the tray.
extern bool MainWindowHidden;

// Entry of the program after the system's own start-up: the whole command
// line text without the program name. Returns the exit code.
int HoverlaneMain(HINSTANCE instance, const char* commandLine);

// None means another instance runs and has been told to show itself.
HWND CreateSyncWindow();
LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whole-text, case-insensitive command-line words.
bool IsUninstallCommand(const char* commandLine);
bool IsMinimizedCommand(const char* commandLine);
