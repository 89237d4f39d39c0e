// The monitoring engine: timer 1 of the main window calls MonitorTick.
#pragma once

#include <windows.h>

#include "app_state.h"  // MonitoringPaused, LastActivationPoint

void CALLBACK MonitorTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);
