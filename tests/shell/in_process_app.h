// Runs hoverlane's main window inside the test process, so that a test can
// look at its menu and state directly (Wine does not read menus across
// processes).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "app_state.h"
#include "commands.h"
#include "discovery.h"
#include "harness.h"
#include "icon_cache.h"
#include "main_window.h"
#include "monitor.h"
#include "settings.h"
#include "shell_state.h"
#include "status_bar.h"
#include "tray.h"
#include "tree_items.h"
#include "tree_view.h"
#include "window_node.h"
#include "window_readers.h"

class InProcessApp {
public:
    // Message boxes shown while the app lives are answered (see BoxAnswerer)
    // and recorded; unless the test expects some, any box is a failure.
    explicit InProcessApp(int showCommand = SW_SHOWNORMAL, const std::string& installDirectory = "\\",
                          bool expectBoxes = false,
                          std::vector<std::pair<std::string, int>> buttons = {})
        : boxes(std::move(buttons)), expectBoxes_(expectBoxes) {
        // Each test's app starts as a fresh process would.
        ResetApplicationState();
        Instance = GetModuleHandleA(nullptr);
        InstallDirectory = installDirectory;
        created_ = CreateMainWindow(Instance, showCommand);
        window_ = MainWindow;
    }
    ~InProcessApp() {
        if (MainWindow) DestroyWindow(MainWindow);
        harness::PumpFor(0);
        if (!expectBoxes_)
            for (const auto& box : boxes.seen())
                ADD_FAILURE() << "unexpected box \"" << box.caption << "\": " << box.text;
    }
    InProcessApp(const InProcessApp&) = delete;
    InProcessApp& operator=(const InProcessApp&) = delete;

    bool created() const { return created_; }
    HWND window() const { return window_; }
    HMENU options() const { return OptionsMenu(window_); }

    harness::BoxAnswerer boxes;

private:
    bool expectBoxes_;
    bool created_ = false;
    HWND window_ = nullptr;
};

// Text and state of a menu item of this process, by command.
inline std::string MenuItemText(HMENU menu, UINT command) {
    char text[260] = {};
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING;
    item.dwTypeData = text;
    item.cch = sizeof(text);
    GetMenuItemInfoA(menu, command, FALSE, &item);
    return text;
}

inline UINT MenuItemState(HMENU menu, UINT command) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE;
    GetMenuItemInfoA(menu, command, FALSE, &item);
    return item.fState;
}

// Whether a WM_QUIT waits in this thread's queue (and takes it out).
inline bool QuitPosted() {
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) quit = true;
        else DispatchMessageA(&message);
    }
    return quit;
}
