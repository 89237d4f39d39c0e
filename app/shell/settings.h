// The two user settings: read once when the main window is created, written
// once at shutdown.
#pragma once

#include <windows.h>

extern DWORD MonitorDelay;  // period of the monitoring timer, milliseconds
extern int AlwaysInSight;   // 0 off, non-zero on

extern const char kSettingsKey[];  // "Software\\Vendrabyte\\Hoverlane"

void LoadSettings(HWND window);
void SaveSettings();
