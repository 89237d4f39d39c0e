// The two user settings: read once when the main window is created, written
// once at shutdown.
#pragma once

#include <windows.h>

#include "app_state.h"        // MonitorDelay, AlwaysInSight
#include "registry_layout.h"  // where they are kept

void LoadSettings(HWND window);
// A failure asks whether to quit; not at the session's end, where nobody is
// there to answer a box.
void SaveSettings(bool reportFailures = true);
