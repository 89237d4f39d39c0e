#include "commands.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "dialogs.h"
#include "discovery.h"
#include "input_watch.h"
#include "install_layout.h"
#include "message_box.h"
#include "monitor.h"
#include "pause_key.h"
#include "programs_dialog.h"
#include "registered_programs.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "tray.h"

namespace {

void ShowHelp() {
    const std::string path = HelpFilePath();
    if (!path.empty() && PathFileExistsA(path.c_str())) {
        ShellExecuteA(MainWindow, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    SystemLanguageBox(MainWindow, "Help file not founded, reinstall Hoverlane", "Error", MB_ICONHAND);
}

void ShowRegisteredPrograms(HWND window) {
    // The tray menu stays usable while the dialog is open; a second dialog
    // would only bring the first one forward.
    if (RegisteredProgramsWindow) {
        SetForegroundWindow(RegisteredProgramsWindow);
        return;
    }
    // What OK unregistered is monitored no more, now.
    if (ShowRegisteredProgramsDialog(Instance, window) == IDOK) RefreshPrograms();
}

}  // namespace

void OnCommand(HWND window, int id) {
    switch (id) {
    case IDM_REGISTER_PROGRAM:
        // The menu's own rule: anything it grays is ignored without a word.
        if (CanRegisterSelection()) {
            RegisterProgram(SelectedNode->modulePath, SelectedNode->programName);
            // Programs decide anew whether they are registered, so that the
            // command grays at once and every running copy of the program is
            // monitored from now on, not only after a restart.
            RefreshPrograms();
        }
        break;
    case IDM_REGISTERED_PROGRAMS:
        ShowRegisteredPrograms(window);
        break;
    case IDM_TOGGLE_MONITORING:
        ToggleMonitoring(window);
        break;
    case IDM_ALWAYS_IN_SIGHT:
        AlwaysInSight = !AlwaysInSight;
        UpdateAlwaysInSightCheck(window);
        break;
    case IDM_WAIT_WHILE_TYPING:
        if (!CanWatchTyping()) break;
        WaitWhileTyping = !WaitWhileTyping;
        WatchTyping(window, WaitWhileTyping);
        UpdateGuardItems(window);
        break;
    case IDM_SWITCH_WHEN_RESTING:
        SwitchWhenResting = !SwitchWhenResting;
        UpdateGuardItems(window);
        break;
    case IDM_HOLD_SHIFT:
        HoldShiftToWait = !HoldShiftToWait;
        UpdateGuardItems(window);
        break;
    case IDM_PAUSE_KEY:
        if (ShowPauseKeyDialog(Instance, window) == IDOK) UpdateMonitoringItem(window);
        break;
    case IDM_EXIT:
        DestroyWindow(window);
        break;
    case IDM_HELP:
        ShowHelp();
        break;
    case IDM_ABOUT:
        ShowAboutBox(Instance, window);
        break;
    case IDM_MONITOR_TIME:
        ShowMonitorTimeDialog(Instance, window);
        break;
    default:
        break;
    }
}

bool CanRegisterSelection() {
    // Programs are the root's children. A registration keeps the program's
    // file path: without one there is nothing to register. While the
    // Registered Programs dialog is open, its OK would delete a registration
    // made meanwhile, which it never listed.
    return SelectedNode && RootNode && SelectedNode->parent == RootNode.get() &&
           !SelectedNode->registered && !SelectedNode->FileUnreadable() &&
           !RegisteredProgramsWindow;
}

void UpdateRegisterItem(HWND window) {
    EnableMenuItem(OptionsMenu(window), IDM_REGISTER_PROGRAM,
                   MF_BYCOMMAND | (CanRegisterSelection() ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    DrawMenuBar(window);
}

void ToggleMonitoring(HWND window) {
    MonitoringPaused = !MonitoringPaused;
    UpdateMonitoringItem(window);
    ShowMonitoringInTray(window);
}

void UpdateMonitoringItem(HWND window) {
    char loaded[MAX_PATH] = {};
    LoadStringA(Instance, MonitoringPaused ? IDS_START_MONITORING : IDS_STOP_MONITORING, loaded,
                MAX_PATH);
    std::string text = loaded;
    // After the tab, the key that does the same.
    const size_t tab = text.find('\t');
    if (PauseKey != kDefaultPauseKey && tab != std::string::npos)
        text = text.substr(0, tab + 1) + PauseKeyName(PauseKey);
    MENUITEMINFOA update = {};
    update.cbSize = sizeof(update);
    update.fMask = MIIM_STRING;
    update.dwTypeData = &text[0];
    update.cch = static_cast<UINT>(text.size());
    SetMenuItemInfoA(OptionsMenu(window), IDM_TOGGLE_MONITORING, FALSE, &update);
    DrawMenuBar(window);
}

namespace {

void SetItemState(HWND window, UINT command, UINT state) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE;
    item.fState = state;
    SetMenuItemInfoA(OptionsMenu(window), command, FALSE, &item);
}

}  // namespace

void UpdateAlwaysInSightCheck(HWND window) {
    SetItemState(window, IDM_ALWAYS_IN_SIGHT, AlwaysInSight ? MFS_CHECKED : MFS_UNCHECKED);
    DrawMenuBar(window);
}

void UpdateGuardItems(HWND window) {
    // Without raw input keys cannot be watched: the option is grayed.
    SetItemState(window, IDM_WAIT_WHILE_TYPING,
                 (WaitWhileTyping ? MFS_CHECKED : MFS_UNCHECKED) |
                     (CanWatchTyping() ? MFS_ENABLED : MFS_GRAYED));
    SetItemState(window, IDM_SWITCH_WHEN_RESTING, SwitchWhenResting ? MFS_CHECKED : MFS_UNCHECKED);
    SetItemState(window, IDM_HOLD_SHIFT, HoldShiftToWait ? MFS_CHECKED : MFS_UNCHECKED);
    DrawMenuBar(window);
}

std::string HelpFilePath() {
    // Without an installation a bare name would be looked for in the
    // current folder.
    return InstallDirectory.empty() ? std::string() : InstallDirectory + kHelpPage;
}
