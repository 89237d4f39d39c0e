#include "tray.h"

#include <shellapi.h>

#include "monitor.h"
#include "resource.h"
#include "shell_state.h"
#include "text.h"
#include "window_node.h"

namespace {

// The last character is the ANSI copyright sign.
const char kTrayTip[] = "Hoverlane\xA9";
const char kPausedTip[] = "Hoverlane - monitoring stopped";

// The icon as monitoring stands: running or stopped.
NOTIFYICONDATAA IconData(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = static_cast<HICON>(
        LoadImageA(Instance, MAKEINTRESOURCEA(MonitoringPaused ? IDI_PAUSED : IDI_SMALL), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    CopyBounded(data.szTip, sizeof(data.szTip), MonitoringPaused ? kPausedTip : kTrayTip);
    return data;
}

}  // namespace

void AddTrayIcon(HWND window) {
    NOTIFYICONDATAA data = IconData(window);
    Shell_NotifyIconA(NIM_ADD, &data);
}

void ShowMonitoringInTray(HWND window) {
    NOTIFYICONDATAA data = IconData(window);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

HMENU OptionsMenu(HWND window) {
    return GetSubMenu(GetMenu(window), 0);
}

void DeleteTrayIcon(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

void OnTrayNotify(HWND window, LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        MainWindowHidden = false;
        ShowWindow(window, SW_SHOW);
        ShowWindow(window, SW_RESTORE);
        BringWindowToTop(window);
        break;
    case WM_RBUTTONDOWN: {
        POINT at;
        GetCursorPos(&at);
        // Without being foreground the menu would not close when the user
        // clicks outside it.
        SetForegroundWindow(window);
        TrackPopupMenu(OptionsMenu(window), 0, at.x, at.y, 0, window, nullptr);
        // Forces a task switch so that the next tray menu opens and closes
        // properly too.
        PostMessageA(window, WM_NULL, 0, 0);
        break;
    }
    default:
        break;
    }
}
