// The two user settings: read once when the main window is created, written
// once at shutdown.
#pragma once

#include <windows.h>

#include "registry_layout.h"  // where they are kept

extern DWORD MonitorDelay;  // period of the monitoring timer, milliseconds
extern int AlwaysInSight;   // 0 off, non-zero on

void LoadSettings(HWND window);
void SaveSettings();
