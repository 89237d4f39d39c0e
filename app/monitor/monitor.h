// The monitoring engine: timer 1 of the main window calls MonitorTick.
#pragma once

#include <windows.h>

#include "app_state.h"  // MonitoringPaused, LastActivationPoint

void CALLBACK MonitorTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);

// How long the tick waits for a program to answer before it leaves the
// program alone: well under the monitoring time, so that a program that
// hangs never holds hoverlane up for long, nor gets its switch late.
inline UINT AnswerBoundMs(DWORD monitorDelay) {
    const DWORD third = monitorDelay / 3;
    return static_cast<UINT>(third < 20 ? 20 : third > 150 ? 150 : third);
}
