// The menu commands of the main window (the same for the menu bar and the
// tray menu), and the menu's state.
#pragma once

#include <windows.h>

#include <string>

// WM_COMMAND of the main window, by the command's id.
void OnCommand(HWND window, int id);
// Whether "&Always Hoverlane this program" may be chosen now; the menu
// grays it otherwise, and the command then does nothing.
bool CanRegisterSelection();
// WM_ENTERMENULOOP: the register item follows CanRegisterSelection.
void UpdateRegisterItem(HWND window);
void ToggleMonitoring(HWND window);
// The Stop/Start item offers the opposite of the monitoring's state, and
// names the pause key when it is not Pause.
void UpdateMonitoringItem(HWND window);
void UpdateAlwaysInSightCheck(HWND window);
// Wait While Typing, Switch When The Pointer Rests and Hold Shift To Wait:
// checked when on; the first grayed where keys cannot be watched.
void UpdateGuardItems(HWND window);

// Help command: the help file under the installation folder; empty without
// an installation.
std::string HelpFilePath();
