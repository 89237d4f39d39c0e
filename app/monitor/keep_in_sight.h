// Always In Sight: before a document window comes to the top, the smaller
// windows above it that it would hide are moved so that a caption-high strip
// of each stays visible. Windows are moved, never resized.
#pragma once

#include <windows.h>

// Moves every window above top (in z-order) that top would cover, when top
// is a document window (a child of container); nothing when it is not. cy
// is the caption height. Allocates nothing: it runs inside the monitoring
// tick.
void KeepInSight(HWND top, HWND container, int cy);

// A screen rectangle in window's client coordinates (both corners converted).
void ScreenRectToClient(HWND window, RECT* rect);
// Shifts rect, keeping its size, into window's client area.
void ShiftRectIntoClient(HWND window, RECT* rect);
