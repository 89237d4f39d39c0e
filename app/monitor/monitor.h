// The monitoring engine: timer 1 of the main window calls MonitorTick.
#pragma once

#include <windows.h>

extern bool MonitoringPaused;
// Pointer position, in client coordinates of the target's container, when a
// tick last acted.
extern POINT LastActivationPoint;

void CALLBACK MonitorTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);
