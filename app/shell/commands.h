// The menu commands of the main window (the same for the menu bar and the
// tray menu), and the menu's state.
#pragma once

#include <windows.h>

#include <string>

// WM_COMMAND of the main window, by the command's id.
void OnCommand(HWND window, int id);
// The Options popup of the main window's menu (also the tray menu).
HMENU OptionsMenu(HWND window);
// Whether "&Always Hoverlane this program" may be chosen now; the menu
// grays it otherwise, and the command then does nothing.
bool CanRegisterSelection();
// WM_ENTERMENULOOP: the register item follows CanRegisterSelection.
void UpdateRegisterItem(HWND window);
void ToggleMonitoring(HWND window);
void UpdateAlwaysInSightCheck(HWND window);

// Help command: the help file under the installation folder; empty without
// an installation.
std::string HelpFilePath();
