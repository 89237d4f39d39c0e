// What the main window watches besides its own messages: the user's keys
// (for Wait While Typing) and the session (locked, disconnected, switched
// away from). Both are looked up at run time; older Windows lack them.
#pragma once

#include <windows.h>

// Keys come as raw input (WM_INPUT), even while another program has the
// focus: no hook sits in the keyboard's path, so a busy hoverlane never
// slows anyone's typing. False where raw input does not exist (the 95
// family, Windows 2000).
bool CanWatchTyping();
// Starts or stops the keys' coming to the window.
void WatchTyping(HWND window, bool on);

// The session's changes come to the window as WM_WTSSESSION_CHANGE.
void WatchSession(HWND window);
void UnwatchSession(HWND window);

// What a session change means for the monitoring.
enum class SessionChange { None, Away, Back };
SessionChange SessionChangeOf(WPARAM code);
