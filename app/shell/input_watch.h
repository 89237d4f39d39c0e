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

// The session's changes come to the window as WM_WTSSESSION_CHANGE. The
// session counts as present from here on.
void WatchSession(HWND window);
void UnwatchSession(HWND window);
// Whether the system took the window's registration for them.
bool SessionWatched();

// Where the session stands. The user is back only once it is both unlocked
// and connected: a session locked, then disconnected, then connected again
// still shows the lock screen.
struct SessionState {
    bool locked = false;
    bool disconnected = false;
    bool present() const { return !locked && !disconnected; }
};
// The state after a WM_WTSSESSION_CHANGE code; other codes change nothing.
SessionState AfterSessionChange(SessionState state, WPARAM code);

// What a session change means for the monitoring: Away when the user
// leaves, Back when the session is present again, None otherwise.
enum class SessionChange { None, Away, Back };
SessionChange NoteSessionChange(WPARAM code);
