// The About box and the Set Monitor Time dialog, both modal and owned by the
// main window.
#pragma once

#include <windows.h>

#include <cstddef>

// The last position the Set Monitor Time dialog has seen; it outlives the
// dialog, and only OK makes it the monitoring delay.
extern WORD SliderPosition;

// Slider bounds and steps of the Set Monitor Time dialog, in milliseconds.
constexpr int kSliderMin = 100;
constexpr int kSliderMax = 1000;
constexpr int kSliderPage = 100;
constexpr int kSliderLine = 50;
constexpr int kSliderTickFrequency = 50;

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MonitorTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens each dialog owned by owner and returns how it ended (IDOK or
// IDCANCEL).
INT_PTR ShowAboutBox(HINSTANCE instance, HWND owner);
INT_PTR ShowMonitorTimeDialog(HINSTANCE instance, HWND owner);
void ResetDialogs();

// The value label: the position in decimal followed by " ms".
void FormatSliderLabel(WORD position, char* text, size_t capacity);
