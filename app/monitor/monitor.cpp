#include "monitor.h"

bool MonitoringPaused = false;
POINT LastActivationPoint = {0, 0};

void CALLBACK MonitorTick(HWND, UINT, UINT_PTR, DWORD) {
    if (MonitoringPaused) return;
}
