// The entry of hoverlane: platform check, command line, single instance,
// installation folder, the main window and the message loop.
#pragma once

#include <windows.h>

#include <string>

// Entry of the program after the system's own start-up: the whole command
// line text without the program name. Returns the exit code.
int HoverlaneMain(HINSTANCE instance, const char* commandLine);

// None means another instance runs and has been told to show itself.
HWND CreateSyncWindow();
LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whole-text, case-insensitive command-line words.
bool IsUninstallCommand(const char* commandLine);
bool IsMinimizedCommand(const char* commandLine);
// "/Uninstall /S": the uninstaller runs without its question and boxes,
// and this run ends with its exit code.
bool IsSilentUninstallCommand(const char* commandLine);
// InstallDirectory from the stored "Install Destination": the folder and a
// backslash, or empty for an empty (or unreadable) value.
std::string InstallDirectoryFrom(const std::string& storedFolder);
