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

// The command line: /Uninstall, with /S (no question, no box, the exit
// code tells) and /LOG=<file>, in any order and letter case; else the whole
// text, any letter case, "/Minimized" to start hidden, anything else an
// ordinary start.
struct StartCommand {
    bool uninstall = false;
    bool silent = false;
    bool minimized = false;
    std::string log;
    std::string unknown;  // with /Uninstall: a word not understood
};
StartCommand ReadStartCommand(const char* commandLine);
bool IsMinimizedCommand(const char* commandLine);
// InstallDirectory from the stored "Install Destination": the folder and a
// backslash, or empty for an empty (or unreadable) value.
std::string InstallDirectoryFrom(const std::string& storedFolder);
