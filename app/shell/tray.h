// The tray icon: the main window's way back from the notification area, and
// its Options menu.
#pragma once

#include <windows.h>

// The tray icon reports mouse events to the main window with this message.
constexpr UINT WM_TRAYNOTIFY = 0x8002;
constexpr UINT kTrayIconId = 1;

// The icon and its tip say whether monitoring runs or is stopped.
void AddTrayIcon(HWND window);
void ShowMonitoringInTray(HWND window);
// Also on the way out of a fatal error, which skips the shutdown: the shell
// would keep showing the icon of a program that is gone.
void DeleteTrayIcon(HWND window);
// WM_TRAYNOTIFY: a double-click shows the main window, a right-click opens
// the Options menu at the pointer.
void OnTrayNotify(HWND window, LPARAM mouseMessage);
// The Options popup of the main window's menu, which is also the tray menu.
HMENU OptionsMenu(HWND window);
