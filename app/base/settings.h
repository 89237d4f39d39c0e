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

// Reads them all, with their defaults where they cannot be read. The caller
// shows what it read (the menu's check mark).
void LoadSettings();
// A failure asks whether to quit; not at the session's end, where nobody is
// there to answer a box.
void SaveSettings(bool reportFailures = true);
// All as before loading: 0 and off.
void ResetSettings();
