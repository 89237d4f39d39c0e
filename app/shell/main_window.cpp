#include "main_window.h"

#include <commctrl.h>

#include <new>

#include "app_state.h"
#include "commands.h"
#include "discovery.h"
#include "dpi.h"
#include "errors.h"
#include "icon_cache.h"
#include "input_watch.h"
#include "monitor.h"
#include "pause_key.h"
#include "registry_layout.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "status_bar.h"
#include "tray.h"
#include "tree_items.h"
#include "tree_view.h"

namespace {

constexpr int kStatusParts = 3;
constexpr int kMaxStatusParts = 8;

// Messages of newer Windows, by number: the headers of the oldest floor
// lack them.
constexpr UINT kDpiChangedMessage = 0x02E0;      // WM_DPICHANGED
constexpr UINT kSessionChangeMessage = 0x02B1;   // WM_WTSSESSION_CHANGE
constexpr UINT kRawInputMessage = 0x00FF;        // WM_INPUT
// WM_ENDSESSION's lParam when the Restart Manager (setup, the uninstaller
// in another session) asks the program to close so that its file is free.
constexpr LPARAM kEndSessionCloseApp = 0x1;     // ENDSESSION_CLOSEAPP

// The window's first size at 96 DPI.
constexpr int kWidthAt96 = 350;
constexpr int kHeightAt96 = 200;

// How the controls' fonts look at the system's DPI, and the fonts made from
// that for the window's DPI, which the controls use. The controls' own
// default fonts stay theirs.
LOGFONTA TreeLook = {};
LOGFONTA BarLook = {};
ScopedFont TreeFont;
ScopedFont BarFont;

HWND CurrentMainWindow() {
    return MainWindow;
}

// The tree and the status bar drawn for the window's DPI: fonts and images
// made for it.
void ApplyDpi(HWND window, UINT dpi) {
    ScopedFont tree(FontForDpi(TreeLook, dpi));
    ScopedFont bar(FontForDpi(BarLook, dpi));
    SendMessageA(TreeView, WM_SETFONT, reinterpret_cast<WPARAM>(tree.get()), TRUE);
    SendMessageA(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(bar.get()), TRUE);
    // The controls use the new fonts now: the old ones may go.
    TreeFont = std::move(tree);
    BarFont = std::move(bar);
    SetTreeImageSize(SmallIconSize(dpi));
    // The bar takes the height of its new font when it is sized.
    SendMessageA(StatusBar, WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(window, &client);
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// The tick and the refresh run together: from the start, and again each
// time the session comes back; they stop together while it is away and at
// shutdown.
void StartTimers(HWND window) {
    StartMonitorTimer(window);
    SetTimer(window, kRefreshTimerId, kRefreshPeriodMs, nullptr);
}

void StopTimers(HWND window) {
    StopMonitoring(window);
    KillTimer(window, kRefreshTimerId);
}

void DeleteMainTrayIcon() {
    if (MainWindow) DeleteTrayIcon(MainWindow);
}

// The desktop's node and item. Expanding the item runs the first discovery:
// every running program gets its node and item below "desktop".
void CreateRootNode() {
    WindowNode* root = new (std::nothrow) WindowNode(GetDesktopWindow(), nullptr, nullptr);
    if (!root) ReportFatalError(ErrorNoMemory, "Fatal error!");
    RootNode.reset(root);
    InsertTreeItem(*RootNode);
    ExpandRootItem();
}

void OnCreateMainWindow(HWND window) {
    // Set before the children exist: code run from here (error boxes, the
    // shell calls of the first tree filling) wants the main window as owner.
    MainWindow = window;

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS;
    InitCommonControlsEx(&controls);

    LoadSettings();
    UpdateAlwaysInSightCheck(window);
    UpdateGuardItems(window);
    UpdateMonitoringItem(window);
    WatchTyping(window, WaitWhileTyping);
    WatchSession(window);

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
    SetStatusText(2, UiFromAnsi(kMakerName).c_str());
    TreeLook = FontLook(reinterpret_cast<HFONT>(SendMessageA(TreeView, WM_GETFONT, 0, 0)));
    BarLook = FontLook(reinterpret_cast<HFONT>(SendMessageA(StatusBar, WM_GETFONT, 0, 0)));
    ApplyDpi(window, WindowDpi(window));

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
    // Error boxes are owned by the main window while it lives, and a fatal
    // error takes the tray icon along.
    SetErrorHooks(CurrentMainWindow, DeleteMainTrayIcon);

    // The size of 96 DPI, for the scale of the system's display, and then
    // for the monitor the window opened on.
    const UINT dpi = SystemDpi();
    HWND window = CreateWindowExA(0, className, "Hoverlane", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  ScaleToDpi(kWidthAt96, dpi), ScaleToDpi(kHeightAt96, dpi), nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return false;
    MainWindow = window;
    const UINT monitorDpi = WindowDpi(window);
    if (monitorDpi != dpi)
        SetWindowPos(window, nullptr, 0, 0, ScaleToDpi(kWidthAt96, monitorDpi),
                     ScaleToDpi(kHeightAt96, monitorDpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    RegisterPauseKey(window, PauseKey);  // taken by another program: no hotkey
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

static LRESULT MainWindowProcUnguarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
        OnCreateMainWindow(window);
        StartTimers(window);
        return 0;
    case WM_SIZE:
        OnSize(window, wParam);
        return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimerId && RootNode) {
            ResumeWhenInputIsBack(window);
            Refresh(*RootNode);
            ExpandRootItemIfPending();
        }
        return 0;
    case kRawInputMessage:
        // Wait While Typing: a key, anywhere. The default handling frees
        // what the system keeps for the message.
        NoteKeyPressed(GetTickCount());
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == TreeView && TreeView) return OnTreeNotify(header);
        return 0;
    }
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_ENTERMENULOOP:
        UpdateRegisterItem(window);
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
        if (!wParam) return 0;
        // Asked to close: the orderly shutdown, which saves the settings.
        if (lParam & kEndSessionCloseApp) {
            DestroyWindow(window);
            return 0;
        }
        // Logoff or shutdown: Windows ends the process after this without
        // any WM_DESTROY, so the settings are saved now.
        SaveSettings(false);
        return 0;
    case WM_DESTROY:
        return ShutDown(window);
    case kSessionChangeMessage:
        // Nothing at all runs while the session is locked, disconnected or
        // switched away from; it all starts again when the session is back.
        switch (NoteSessionChange(wParam)) {
        case SessionChange::Away:
            StopTimers(window);
            break;
        case SessionChange::Back:
            StartTimers(window);
            break;
        case SessionChange::None:
            break;
        }
        return 0;
    case kDpiChangedMessage: {
        // Moved to a monitor of another scale: the size Windows suggests,
        // and fonts and images made for the new DPI.
        ApplyDpi(window, HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        if (suggested)
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        if (message == TaskbarCreatedMessage && TaskbarCreatedMessage != 0) {
            AddTrayIcon(window);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Called by Windows: an exception stops here (see Guarded).
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return MainWindowProcUnguarded(window, message, wParam, lParam); });
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
    StopTimers(window);
    UnwatchSession(window);
    DeleteTrayIcon(window);
    // The controls go with the window; their fonts go now.
    TreeFont.reset();
    BarFont.reset();
    // The whole tree goes before the image list its items use.
    RootNode.reset();
    DestroyTreeImageList();
}
