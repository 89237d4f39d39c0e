#include "main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>
#include <new>

#include "app_state.h"
#include "dialogs.h"
#include "errors.h"
#include "icon_cache.h"
#include "message_box.h"
#include "monitor.h"
#include "programs_dialog.h"
#include "registered_programs.h"
#include "resource.h"
#include "settings.h"
#include "text.h"
#include "window_node.h"

namespace {

constexpr int kStatusParts = 3;
constexpr int kMaxStatusParts = 8;
// The last character is the ANSI copyright sign.
const char kTrayTip[] = "Hoverlane\xA9";
const char kMakerName[] = "Vendrabyte";

void AddTrayIcon(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = static_cast<HICON>(LoadImageA(Instance, MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    CopyBounded(data.szTip, sizeof(data.szTip), kTrayTip);
    Shell_NotifyIconA(NIM_ADD, &data);
}

// The desktop's node and item. Expanding the item runs the first discovery:
// every running program gets its node and item below "desktop".
void CreateRootNode() {
    WindowNode* root = new (std::nothrow) WindowNode(GetDesktopWindow(), nullptr, nullptr);
    if (!root) ReportFatalError(ErrorNoMemory, "Fatal error!");
    RootNode.reset(root);
    RootNode->InsertTreeItem();
    ExpandRootItem();
}

void OnCreateMainWindow(HWND window) {
    // Set before the children exist: code run from here (error boxes, the
    // shell calls of the first tree filling) wants the main window as owner.
    MainWindow = window;

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&controls);

    LoadSettings(window);

    RECT client;
    GetClientRect(window, &client);
    TreeView = CreateWindowExA(WS_EX_CLIENTEDGE, "SysTreeView32", "",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                                   TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                               0, 0, client.right, client.bottom, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TREE_VIEW)),
                               Instance, nullptr);
    ShowWindow(TreeView, SW_SHOWNORMAL);

    CreateTreeImageList(TreeView);

    StatusBar = CreateWindowExA(0, "msctls_statusbar32", nullptr, WS_CHILD | SBARS_SIZEGRIP, 0, 0,
                                0, 0, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                                Instance, nullptr);
    SetStatusParts(window, kStatusParts);
    ShowWindow(StatusBar, SW_SHOW);
    SendMessageA(StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(kMakerName));

    CreateRootNode();
    AddTrayIcon(window);
}

void OnSize(HWND window, WPARAM sizeType) {
    if (sizeType == SIZE_MINIMIZED) {
        // Off the task bar; only the tray icon remains.
        MainWindowHidden = true;
        ShowWindow(window, SW_HIDE);
        return;
    }
    RECT bar;
    GetWindowRect(StatusBar, &bar);
    const int barHeight = bar.bottom - bar.top;
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(TreeView, client.left, client.top, client.right, client.bottom - barHeight, TRUE);
    MoveWindow(StatusBar, client.left, client.bottom - barHeight, client.right, barHeight, TRUE);
    SetStatusParts(window, kStatusParts);
}

void ShowHelp() {
    const std::string path = HelpFilePath();
    if (!path.empty() && PathFileExistsA(path.c_str())) {
        ShellExecuteA(MainWindow, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    SystemLanguageBox(MainWindow, "Help file not founded, reinstall Hoverlane", "Error", MB_ICONHAND);
}

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
        // The tray menu stays usable while the dialog is open; a second
        // dialog would only bring the first one forward.
        if (RegisteredProgramsWindow) SetForegroundWindow(RegisteredProgramsWindow);
        else ShowRegisteredProgramsDialog(window);
        break;
    case IDM_TOGGLE_MONITORING:
        ToggleMonitoring(window);
        break;
    case IDM_ALWAYS_IN_SIGHT:
        AlwaysInSight = !AlwaysInSight;
        UpdateAlwaysInSightCheck(window);
        break;
    case IDM_EXIT:
        DestroyWindow(window);
        break;
    case IDM_HELP:
        ShowHelp();
        break;
    case IDM_ABOUT:
        ShowAboutBox(window);
        break;
    case IDM_MONITOR_TIME:
        ShowMonitorTimeDialog(window);
        break;
    default:
        break;
    }
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

}  // namespace

bool CreateMainWindow(HINSTANCE instance, int showCommand) {
    char className[100] = {};
    LoadStringA(instance, IDS_MAIN_CLASS, className, sizeof(className));

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HOVERLANE));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    HWND window = CreateWindowExA(0, className, "Hoverlane", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  350, 200, nullptr, nullptr, instance, nullptr);
    if (!window) return false;
    MainWindow = window;

    RegisterHotKey(window, 0, 0, VK_PAUSE);  // taken by another program: no hotkey
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
        OnCreateMainWindow(window);
        SetTimer(window, kMonitorTimerId, MonitorDelay, MonitorTick);
        SetTimer(window, kRefreshTimerId, kRefreshPeriodMs, nullptr);
        return 0;
    case WM_SIZE:
        OnSize(window, wParam);
        return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimerId && RootNode) {
            RootNode->Refresh();
            ExpandRootItemIfPending();
        }
        return 0;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == TreeView && TreeView) return OnTreeNotify(header);
        return 0;
    }
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_ENTERMENULOOP:
        EnableMenuItem(OptionsMenu(window), IDM_REGISTER_PROGRAM,
                       MF_BYCOMMAND | (CanRegisterSelection() ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
        DrawMenuBar(window);
        return 0;
    case WM_HOTKEY:
        ToggleMonitoring(window);
        return 0;
    case WM_TRAYNOTIFY:
        OnTrayNotify(window, lParam);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Logoff or shutdown: Windows ends the process after this without
        // any WM_DESTROY, so the settings are saved now.
        if (wParam) SaveSettings(false);
        return 0;
    case WM_DESTROY:
        return ShutDown(window);
    default:
        if (message == TaskbarCreatedMessage && TaskbarCreatedMessage != 0) {
            AddTrayIcon(window);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int StatusPartEdges(int clientWidth, int parts, int* edges, int capacity) {
    if (parts <= 0) return 0;
    if (parts > capacity) parts = capacity;
    const int width = clientWidth / parts;
    for (int i = 0; i < parts; ++i) edges[i] = width << i;
    return parts;
}

void SetStatusParts(HWND window, int parts) {
    RECT client;
    GetClientRect(window, &client);
    int edges[kMaxStatusParts];
    const int count = StatusPartEdges(client.right, parts, edges, kMaxStatusParts);
    SendMessageA(StatusBar, SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges));
}

HMENU OptionsMenu(HWND window) {
    return GetSubMenu(GetMenu(window), 0);
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

void ToggleMonitoring(HWND window) {
    MonitoringPaused = !MonitoringPaused;
    // The item offers the opposite of the new state.
    char text[MAX_PATH] = {};
    LoadStringA(Instance, MonitoringPaused ? IDS_START_MONITORING : IDS_STOP_MONITORING, text,
                MAX_PATH);
    MENUITEMINFOA update = {};
    update.cbSize = sizeof(update);
    update.fMask = MIIM_STRING;
    update.dwTypeData = text;
    update.cch = static_cast<UINT>(std::strlen(text));
    SetMenuItemInfoA(OptionsMenu(window), IDM_TOGGLE_MONITORING, FALSE, &update);
    DrawMenuBar(window);
}

void UpdateAlwaysInSightCheck(HWND window) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE;
    item.fState = AlwaysInSight ? MFS_CHECKED : MFS_UNCHECKED;
    SetMenuItemInfoA(OptionsMenu(window), IDM_ALWAYS_IN_SIGHT, FALSE, &item);
    DrawMenuBar(window);
}

int ShutDown(HWND window) {
    MainWindow = nullptr;
    ReleaseResources(window);
    SaveSettings();
    // The process ends after this; a test that runs the window inside its
    // own process starts the next window from a clean slate.
    ResetApplicationState();
    PostQuitMessage(0);
    return 1;
}

void ReleaseResources(HWND window) {
    if (SyncWindow) {
        HWND sync = SyncWindow;
        SyncWindow = nullptr;
        DestroyWindow(sync);
    }
    if (!window) return;
    KillTimer(window, kMonitorTimerId);
    KillTimer(window, kRefreshTimerId);
    DeleteTrayIcon(window);
    // The whole tree goes before the image list its items use.
    RootNode.reset();
    DestroyTreeImageList();
}

void DeleteTrayIcon(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

std::string HelpFilePath() {
    // Without an installation a bare name would be looked for in the
    // current folder.
    return InstallDirectory.empty() ? std::string() : InstallDirectory + "help\\help.htm";
}
