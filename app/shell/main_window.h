// The main window: tree view, status bar, tray icon, timers, hotkey and the
// menu commands.
#pragma once

#include <windows.h>

#include <string>

constexpr UINT kMonitorTimerId = 1;
constexpr UINT kRefreshTimerId = 2;
constexpr UINT kRefreshPeriodMs = 2000;
constexpr UINT kTrayIconId = 1;

bool CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Right edge of each of n status parts over a client width: w * 2^i with
// w = width / n. Writes at most capacity edges and returns how many.
int StatusPartEdges(int clientWidth, int parts, int* edges, int capacity);
void SetStatusParts(HWND window, int parts);

void ToggleMonitoring(HWND window);
void UpdateAlwaysInSightCheck(HWND window);
// The Options popup of the main window's menu (also the tray menu).
HMENU OptionsMenu(HWND window);
// Whether "&Always Hoverlane this program" may be chosen now.
bool CanRegisterSelection();

int ShutDown(HWND window);
void ReleaseResources(HWND window);
// Also on the way out of a fatal error, which skips the shutdown: the shell
// would keep showing the icon of a program that is gone.
void DeleteTrayIcon(HWND window);

// Help command: the help file under the installation folder.
std::string HelpFilePath();
