// The user settings: read once when the main window is created, written once
// at shutdown (and when the session ends).
#pragma once

#include <windows.h>

#include "registry_layout.h"  // where they are kept

// Period of the monitoring timer, milliseconds.
extern DWORD MonitorDelay;
// Always In Sight: 0 off, non-zero on.
extern int AlwaysInSight;
// No switch within a second of the user's last key, anywhere.
extern bool WaitWhileTyping;
// A switch only once the pointer was at the same place at two looks.
extern bool SwitchWhenResting;
// No switch while Shift is held down.
extern bool HoldShiftToWait;
// The hotkey that stops and restarts monitoring: the virtual key in the low
// word, its modifiers (MOD_ALT, MOD_CONTROL, MOD_SHIFT) in the high word,
// as RegisterHotKey takes them. Pause alone unless the user chose another.
extern DWORD PauseKey;
constexpr DWORD kDefaultPauseKey = VK_PAUSE;
// Whether a key may be the pause key: a key that types (a letter, a digit,
// Space, Enter, an arrow...) only with Ctrl or Alt, so that typing never
// stops monitoring; never a modifier key alone.
bool IsUsablePauseKey(DWORD key);

// Reads them all, with their defaults where they cannot be read. The caller
// shows what it read (the menu's check mark).
void LoadSettings();
// A failure asks whether to quit; not at the session's end, where nobody is
// there to answer a box.
void SaveSettings(bool reportFailures = true);
// All as before loading: 0 and off, the pause key Pause.
void ResetSettings();
