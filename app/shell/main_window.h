// The main window: tree view, status bar, tray icon, timers, hotkey, and
// the orderly shutdown of the application.
#pragma once

#include <windows.h>

constexpr UINT kRefreshTimerId = 2;
constexpr UINT kRefreshPeriodMs = 2000;

bool CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Right edge of each of n status parts over a client width: w * 2^i with
// w = width / n. Writes at most capacity edges and returns how many.
int StatusPartEdges(int clientWidth, int parts, int* edges, int capacity);
void SetStatusParts(HWND window, int parts);

int ShutDown(HWND window);
void ReleaseResources(HWND window);
