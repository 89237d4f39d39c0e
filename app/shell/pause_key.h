// The hotkey that stops and restarts monitoring everywhere (Pause at
// first), and the Pause Key dialog where the user picks another.
#pragma once

#include <windows.h>

#include <string>

// The main window's hotkey identifier.
constexpr int kPauseHotkeyId = 0;

// Makes key (as PauseKey keeps it) the window's hotkey in place of the one
// before; false when another program has it, which the window then does
// not get.
bool RegisterPauseKey(HWND window, DWORD key);
// How the menu names the key: "Ctrl+Alt+P", say.
std::string PauseKeyName(DWORD key);

// Opens the dialog owned by owner. OK makes the key the control shows the
// hotkey and PauseKey; it refuses a key that types or that another program
// has, with a box that says so. Returns IDOK or IDCANCEL.
INT_PTR ShowPauseKeyDialog(HINSTANCE instance, HWND owner);
