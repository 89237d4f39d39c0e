// The main window, run inside the test process: layout, menu, tray icon,
// Pause, Always In Sight, Help and the orderly shutdown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fixture.h"
#include "in_process_app.h"
#include "input_watch.h"
#include "resource.h"

#include <shellapi.h>

namespace {

const char kStop[] = "&Stop Monitoring\tPAUSE";
const char kStart[] = "&Start Monitoring\tPAUSE";

class MainWindowTest : public ProductTest {};

struct MenuEntry {
    UINT id;  // 0 for a separator
    const char* text;
};

void ExpectMenu(HMENU menu, const std::vector<MenuEntry>& expected) {
    ASSERT_EQ(static_cast<int>(expected.size()), GetMenuItemCount(menu));
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        char text[260] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof(text);
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item));
        if (expected[i].id == 0) {
            EXPECT_TRUE(item.fType & MFT_SEPARATOR);
        } else {
            EXPECT_EQ(expected[i].id, item.wID);
            EXPECT_STREQ(expected[i].text, text);
        }
    }
}

TEST_F(MainWindowTest, WindowControlsAndMenuAreAsBuilt) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    char className[64] = {};
    GetClassNameA(app.window(), className, sizeof(className));
    EXPECT_STREQ("HOVERLANE", className);
    EXPECT_EQ("Hoverlane", harness::WindowText(app.window()));
    RECT frame;
    GetWindowRect(app.window(), &frame);
    EXPECT_EQ(350, frame.right - frame.left);
    EXPECT_EQ(200, frame.bottom - frame.top);
    EXPECT_EQ(static_cast<LONG>(WS_OVERLAPPEDWINDOW),
              GetWindowLongA(app.window(), GWL_STYLE) & WS_OVERLAPPEDWINDOW);

    HMENU bar = GetMenu(app.window());
    ASSERT_EQ(2, GetMenuItemCount(bar));
    ExpectMenu(app.options(), {{IDM_REGISTER_PROGRAM, "&Always Hoverlane this program"},
                               {IDM_REGISTERED_PROGRAMS, "Re&gistered Programs"},
                               {IDM_TOGGLE_MONITORING, kStop},
                               {0, nullptr},
                               {IDM_ALWAYS_IN_SIGHT, "Al&ways In Sight"},
                               {IDM_WAIT_WHILE_TYPING, "Wa&it While Typing"},
                               {IDM_SWITCH_WHEN_RESTING, "Switch When The Pointer &Rests"},
                               {IDM_HOLD_SHIFT, "Hold S&hift To Wait"},
                               {IDM_MONITOR_TIME, "Set Monitoring &Time"},
                               {IDM_PAUSE_KEY, "&Pause Key..."},
                               {0, nullptr},
                               {IDM_EXIT, "E&xit"}});
    ExpectMenu(GetSubMenu(bar, 1), {{IDM_HELP, "&Help"}, {IDM_ABOUT, "&About"}});

    ASSERT_EQ(TreeView, GetDlgItem(app.window(), IDC_TREE_VIEW));
    const LONG treeStyle = GetWindowLongA(TreeView, GWL_STYLE);
    const LONG wanted = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                        TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    EXPECT_EQ(wanted, treeStyle & wanted);
    EXPECT_TRUE(GetWindowLongA(TreeView, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    ASSERT_EQ(StatusBar, GetDlgItem(app.window(), IDC_STATUS_BAR));
    EXPECT_TRUE(IsWindowVisible(StatusBar));
    int edges[4] = {};
    ASSERT_EQ(3, SendMessageA(StatusBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
    RECT client;
    GetClientRect(app.window(), &client);
    const int third = client.right / 3;
    EXPECT_EQ(third, edges[0]);
    EXPECT_EQ(2 * third, edges[1]);
    EXPECT_EQ(4 * third, edges[2]);
    EXPECT_EQ("Vendrabyte", harness::RemoteStatusText(StatusBar, 2));
    EXPECT_EQ("", harness::RemoteStatusText(StatusBar, 0));

    // The tree view fills the client area above the status bar.
    RECT tree, bar2;
    GetWindowRect(TreeView, &tree);
    GetWindowRect(StatusBar, &bar2);
    EXPECT_EQ(bar2.top, tree.bottom);

    EXPECT_TRUE(harness::TrayIconExists(app.window(), 1));
}

TEST_F(MainWindowTest, StatusPartsDoubleFromAThirdOfTheWidth) {
    int edges[8] = {};
    ASSERT_EQ(3, StatusPartEdges(300, 3, edges, 8));
    EXPECT_EQ(100, edges[0]);
    EXPECT_EQ(200, edges[1]);
    EXPECT_EQ(400, edges[2]);
    ASSERT_EQ(1, StatusPartEdges(301, 1, edges, 8));
    EXPECT_EQ(301, edges[0]);
    EXPECT_EQ(0, StatusPartEdges(300, 0, edges, 8));
    EXPECT_EQ(2, StatusPartEdges(300, 5, edges, 2));  // never beyond the caller's array
}

// Each guard of the menu turns its own setting on and off, checked while
// on (Wait While Typing only where keys can be watched).
TEST_F(MainWindowTest, EachGuardOfTheMenuTurnsItsOwnSettingOnAndOff) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    const struct {
        UINT command;
        bool* setting;
        bool available;
    } guards[] = {{IDM_WAIT_WHILE_TYPING, &WaitWhileTyping, CanWatchTyping()},
                  {IDM_SWITCH_WHEN_RESTING, &SwitchWhenResting, true},
                  {IDM_HOLD_SHIFT, &HoldShiftToWait, true}};
    for (const auto& chosen : guards) {
        for (const bool on : {true, false}) {
            SendMessageA(app.window(), WM_COMMAND, chosen.command, 0);
            for (const auto& g : guards) {
                const bool expected = on && &g == &chosen && g.available;
                EXPECT_EQ(expected, *g.setting) << chosen.command << " " << g.command;
                EXPECT_EQ(expected, (MenuItemState(app.options(), g.command) & MFS_CHECKED) != 0) << g.command;
            }
        }
    }
}

TEST_F(MainWindowTest, PauseKeyAndMenuFlipTheMonitoringState) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    EXPECT_EQ(kStop, MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
    EXPECT_FALSE(MonitoringPaused);

    SendMessageA(app.window(), WM_HOTKEY, 0, MAKELPARAM(0, VK_PAUSE));
    EXPECT_EQ(kStart, MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
    EXPECT_TRUE(MonitoringPaused);

    SendMessageA(app.window(), WM_HOTKEY, 0, MAKELPARAM(0, VK_PAUSE));
    EXPECT_EQ(kStop, MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
    EXPECT_FALSE(MonitoringPaused);

    SendMessageA(app.window(), WM_COMMAND, IDM_TOGGLE_MONITORING, 0);
    EXPECT_EQ(kStart, MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
    EXPECT_TRUE(MonitoringPaused);
    SendMessageA(app.window(), WM_COMMAND, IDM_TOGGLE_MONITORING, 0);
    EXPECT_EQ(kStop, MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
    EXPECT_FALSE(MonitoringPaused);
}

// The tray icon as the shell shows it: paused, its tip and another
// picture; running again, the tip and the very picture it had before.
TEST_F(MainWindowTest, TheTrayShowsTheStoppedIconAndTipWhilePausedAndTheRunningOnesAgainAfter) {
    std::vector<HWND> others;
    for (const auto& icon : harness::ShellTrayIcons()) others.push_back(icon.window);
    InProcessApp app;
    ASSERT_TRUE(app.created());
    MoveWindow(app.window(), 400, 300, 350, 200, TRUE);  // off the tray, top left
    HWND ours = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] {
        for (const auto& icon : harness::ShellTrayIcons())
            if (std::find(others.begin(), others.end(), icon.window) == others.end()) ours = icon.window;
        return ours != nullptr;
    }));
    const auto tip = [&] {
        for (const auto& shown : harness::ShellTrayIcons())
            if (shown.window == ours) return shown.tip;
        return std::string();
    };
    RECT at;
    GetWindowRect(ours, &at);
    const char kRunning[] = "Hoverlane\xA9";
    std::vector<COLORREF> running;
    ASSERT_TRUE(harness::WaitUntil([&] {
        running = harness::ScreenPixels(at);
        // Drawn: more than the backdrop's colour.
        return tip() == kRunning && !running.empty() &&
               std::count(running.begin(), running.end(), running[0]) < static_cast<long>(running.size());
    }));
    SendMessageA(app.window(), WM_HOTKEY, 0, MAKELPARAM(0, VK_PAUSE));
    EXPECT_TRUE(harness::WaitUntil([&] {
        const auto paused = harness::ScreenPixels(at);
        return tip() == "Hoverlane - monitoring stopped" && !paused.empty() && paused != running;
    }, 5000));
    SendMessageA(app.window(), WM_HOTKEY, 0, MAKELPARAM(0, VK_PAUSE));
    EXPECT_TRUE(harness::WaitUntil([&] { return tip() == kRunning && harness::ScreenPixels(at) == running; }, 5000));
}

TEST_F(MainWindowTest, RealPauseKeyReachesTheHotkey) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    // The X server's own key event, as a user's key press arrives. Without a
    // window manager the X focus follows the pointer: keep it over a window
    // of ours so that the key reaches Wine at all.
    RECT frame;
    GetWindowRect(app.window(), &frame);
    SetCursorPos((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
    ASSERT_TRUE(harness::StartUnixProgram("/usr/bin/xdotool", "key Pause"));
    EXPECT_TRUE(harness::WaitUntil([] { return MonitoringPaused; }));
    EXPECT_EQ(kStart, MenuItemText(app.options(), IDM_TOGGLE_MONITORING));
}

TEST_F(MainWindowTest, RegisterCommandIsGrayedWithNothingSelected) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    SendMessageA(app.window(), WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_EQ(static_cast<UINT>(MFS_GRAYED),
              MenuItemState(app.options(), IDM_REGISTER_PROGRAM) & MFS_GRAYED);
}

// The tray menu runs its own loop inside TrackPopupMenu; a timer fired from
// that loop looks at the menu while it is open and then closes it.
UINT RegisterStateInTrayMenu = 0xFFFFFFFF;
bool TrayMenuOpen = false;

void CALLBACK LookAtTrayMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    TrayMenuOpen = harness::FindTopWindow("#32768") != nullptr;
    RegisterStateInTrayMenu = MenuItemState(OptionsMenu(MainWindow), IDM_REGISTER_PROGRAM);
    EndMenu();
}

TEST_F(MainWindowTest, TrayRightClickOpensTheOptionsMenuWithRegisterGrayed) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    // Undo any graying a previous menu left, so that the tray menu must set it.
    EnableMenuItem(app.options(), IDM_REGISTER_PROGRAM, MF_BYCOMMAND | MF_ENABLED);
    SetTimer(nullptr, 0, 200, LookAtTrayMenu);
    SendMessageA(app.window(), WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    EXPECT_TRUE(TrayMenuOpen);
    EXPECT_EQ(static_cast<UINT>(MFS_GRAYED), RegisterStateInTrayMenu & MFS_GRAYED);
    EXPECT_EQ(app.window(), GetForegroundWindow());
}

TEST_F(MainWindowTest, MinimizeHidesToTrayAndDoubleClickRestores) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    ShowWindow(app.window(), SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(app.window()));
    EXPECT_TRUE(MainWindowHidden);
    EXPECT_TRUE(harness::TrayIconExists(app.window(), 1));

    SendMessageA(app.window(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(app.window()));
    EXPECT_FALSE(IsIconic(app.window()));
    EXPECT_FALSE(MainWindowHidden);

    // Other tray messages change nothing.
    SendMessageA(app.window(), WM_TRAYNOTIFY, 1, WM_MOUSEMOVE);
    SendMessageA(app.window(), WM_TRAYNOTIFY, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(app.window()));
}

TEST_F(MainWindowTest, MinimizedStartHidesAtOnce) {
    InProcessApp app(SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(app.created());
    EXPECT_FALSE(IsWindowVisible(app.window()));
    EXPECT_TRUE(MainWindowHidden);
}

TEST_F(MainWindowTest, AlwaysInSightCommandTogglesTheCheckMark) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    EXPECT_EQ(0, AlwaysInSight);
    EXPECT_FALSE(MenuItemState(app.options(), IDM_ALWAYS_IN_SIGHT) & MFS_CHECKED);
    SendMessageA(app.window(), WM_COMMAND, IDM_ALWAYS_IN_SIGHT, 0);
    EXPECT_EQ(1, AlwaysInSight);
    EXPECT_TRUE(MenuItemState(app.options(), IDM_ALWAYS_IN_SIGHT) & MFS_CHECKED);
    SendMessageA(app.window(), WM_COMMAND, IDM_ALWAYS_IN_SIGHT, 0);
    EXPECT_EQ(0, AlwaysInSight);
    EXPECT_FALSE(MenuItemState(app.options(), IDM_ALWAYS_IN_SIGHT) & MFS_CHECKED);
}

TEST_F(MainWindowTest, HelpWithoutTheHelpFileSaysSo) {
    InProcessApp app(SW_SHOWNORMAL, "C:\\windows\\", true);
    ASSERT_TRUE(app.created());
    EXPECT_EQ("C:\\windows\\help\\help.htm", HelpFilePath());
    SendMessageA(app.window(), WM_COMMAND, IDM_HELP, 0);
    const auto seen = app.boxes.seen();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Error", seen[0].caption);
    EXPECT_EQ("Help file not founded, reinstall Hoverlane", seen[0].text);
    EXPECT_EQ(app.window(), seen[0].owner);
}

TEST_F(MainWindowTest, ExitRemovesTheTrayIconSavesAndEndsTheLoop) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    HWND window = app.window();
    MonitorDelay = 450;
    SendMessageA(window, WM_COMMAND, IDM_ALWAYS_IN_SIGHT, 0);
    QuitPosted();

    SendMessageA(window, WM_COMMAND, IDM_EXIT, 0);

    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, MainWindow);
    EXPECT_FALSE(harness::TrayIconExists(window, 1));
    EXPECT_TRUE(QuitPosted());
    const harness::RegValue timer = harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kTimerValue);
    ASSERT_EQ(4u, timer.data.size());
    EXPECT_EQ(450u, *reinterpret_cast<const DWORD*>(timer.data.data()));
    EXPECT_EQ(std::string(1, '\1'),
              harness::ReadValue(HKEY_CURRENT_USER, kProductKey, kAlwaysInSightValue).data);
}

// The font a control draws with, and its height in pixels.
HFONT FontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

int FontHeight(HWND control) {
    LOGFONTA font = {};
    return GetObjectA(FontOf(control), sizeof(font), &font) ? std::abs(font.lfHeight) : 0;
}

int TreeImageSide() {
    int width = 0, height = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageA(TreeView, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
        &width, &height);
    return width;
}

// Moved to a monitor of twice the scale and back: the size Windows
// suggests, and fonts and images hoverlane made for each DPI. Its first
// fonts were its own too: they are gone once replaced, as are the others
// when hoverlane ends.
TEST_F(MainWindowTest, ADpiChangeResizesTheWindowAndMakesItsFontsAndImagesAnew) {
    std::vector<HFONT> made;
    {
        InProcessApp app;
        ASSERT_TRUE(app.created());
        HDC screen = GetDC(nullptr);
        const UINT dpi = 2 * GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        const int tree = FontHeight(TreeView), bar = FontHeight(StatusBar);
        const int side = GetSystemMetrics(SM_CXSMICON);
        ASSERT_GT(tree, 0);
        ASSERT_GT(bar, 0);
        EXPECT_EQ(side, TreeImageSide());
        made = {FontOf(TreeView), FontOf(StatusBar)};

        constexpr UINT kDpiChanged = 0x02E0;
        RECT suggested = {40, 60, 40 + 700, 60 + 400};
        SendMessageA(app.window(), kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT now;
        GetWindowRect(app.window(), &now);
        EXPECT_TRUE(EqualRect(&suggested, &now));
        EXPECT_EQ(2 * tree, FontHeight(TreeView));
        EXPECT_EQ(2 * bar, FontHeight(StatusBar));
        EXPECT_EQ(2 * side, TreeImageSide());
        for (HFONT font : made) EXPECT_NE(static_cast<DWORD>(OBJ_FONT), GetObjectType(font));
        RECT client;
        GetClientRect(app.window(), &client);
        const int third = client.right / 3;
        int edges[3] = {};
        SendMessageA(StatusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
        EXPECT_EQ(third, edges[0]);
        EXPECT_EQ(2 * third, edges[1]);

        SendMessageA(app.window(), kDpiChanged, MAKEWPARAM(dpi / 2, dpi / 2), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(tree, FontHeight(TreeView));
        EXPECT_EQ(bar, FontHeight(StatusBar));
        EXPECT_EQ(side, TreeImageSide());
        made = {FontOf(TreeView), FontOf(StatusBar)};
    }
    for (HFONT font : made) EXPECT_NE(static_cast<DWORD>(OBJ_FONT), GetObjectType(font));
}

TEST_F(MainWindowTest, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    InProcessApp app;
    ASSERT_TRUE(app.created());
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = app.window();
    data.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(harness::TrayIconExists(app.window(), 1));
    SendMessageA(app.window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(harness::TrayIconExists(app.window(), 1));
}

}  // namespace
