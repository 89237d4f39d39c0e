// Puts a running hoverlane into the state a help picture shows; used by
// scripts/make-screenshots.sh, which takes the pictures.
//
//   shot_helper place X Y W H        moves and sizes hoverlane's main window
//   shot_helper expand               expands every tree item, selects the
//                                    first program
//   shot_helper dialog CMD CAPTION   sends menu command CMD (monitor-time,
//                                    registered-programs) and waits for the
//                                    dialog CAPTION
//   shot_helper close CAPTION        cancels that dialog
//   shot_helper menu X Y             opens the Options menu at X,Y as a
//                                    right-click on the tray icon does and
//                                    prints the screen rectangle (X Y W H)
//                                    that holds the main window and the menu
//   shot_helper menu-close           closes it
//
// Exit code 0 on success, 1 when hoverlane or the dialog is not found.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resource.h"
#include "tray.h"

namespace {

// The menu commands the script names, by hoverlane's own numbers.
int CommandNamed(const std::string& name) {
    if (name == "monitor-time") return IDM_MONITOR_TIME;
    if (name == "registered-programs") return IDM_REGISTERED_PROGRAMS;
    return 0;
}

constexpr DWORD kWaitMs = 15000;

HWND WaitFor(const char* className, const char* title, DWORD timeoutMs = kWaitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindWindowA(className, title);
        if (found && IsWindowVisible(found)) return found;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(50);
    }
}

HWND MainWindow() {
    HWND main = WaitFor("HOVERLANE", "Hoverlane");
    if (!main) std::fprintf(stderr, "hoverlane's main window not found\n");
    return main;
}

int Place(int x, int y, int w, int h) {
    HWND main = MainWindow();
    if (!main) return 1;
    SetWindowPos(main, HWND_TOP, x, y, w, h, SWP_SHOWWINDOW);
    return 0;
}

int ItemCount(HWND tree) {
    return static_cast<int>(SendMessageA(tree, TVM_GETCOUNT, 0, 0));
}

void ExpandAll(HWND tree, HTREEITEM item) {
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(
                     tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        ExpandAll(tree, reinterpret_cast<HTREEITEM>(SendMessageA(
                            tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))));
    }
}

int Expand() {
    HWND main = MainWindow();
    if (!main) return 1;
    HWND tree = FindWindowExA(main, nullptr, WC_TREEVIEWA, nullptr);
    if (!tree) {
        std::fprintf(stderr, "no tree view in hoverlane's main window\n");
        return 1;
    }
    // Programs show up with the first discovery; give it a few refreshes.
    const DWORD start = GetTickCount();
    while (ItemCount(tree) < 2 && GetTickCount() - start < 6000) Sleep(100);
    HTREEITEM root =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    ExpandAll(tree, root);
    HTREEITEM program = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    if (program)
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(program));
    std::printf("tree items: %d\n", ItemCount(tree));
    return 0;
}

int Dialog(int command, const char* caption) {
    HWND main = MainWindow();
    if (!main) return 1;
    PostMessageA(main, WM_COMMAND, command, 0);
    if (WaitFor("#32770", caption, 5000)) return 0;
    std::fprintf(stderr, "hoverlane did not open \"%s\"\n", caption);
    return 1;
}

int Close(const char* caption) {
    HWND dialog = FindWindowA("#32770", caption);
    if (!dialog) return 1;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

int Menu(int x, int y) {
    HWND main = MainWindow();
    if (!main) return 1;
    // The tray's menu opens at the pointer, beside the tree and its selection.
    SetCursorPos(x, y);
    PostMessageA(main, WM_TRAYNOTIFY, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = WaitFor("#32768", nullptr, 5000);
    if (!menu) {
        std::fprintf(stderr, "the Options menu did not open\n");
        return 1;
    }
    Sleep(300);  // the popup takes its final place and size once drawn
    RECT frame = {}, popup = {}, both = {};
    GetWindowRect(main, &frame);
    GetWindowRect(menu, &popup);
    UnionRect(&both, &frame, &popup);
    std::printf("%ld %ld %ld %ld\n", both.left, both.top, both.right - both.left, both.bottom - both.top);
    return 0;
}

int CloseMenu() {
    HWND main = MainWindow();
    if (!main) return 1;
    PostMessageA(main, WM_CANCELMODE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "place" && argc == 6)
        return Place(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    if (verb == "expand") return Expand();
    if (verb == "dialog" && argc == 4 && CommandNamed(argv[2]))
        return Dialog(CommandNamed(argv[2]), argv[3]);
    if (verb == "close" && argc == 3) return Close(argv[2]);
    if (verb == "menu" && argc == 4) return Menu(std::atoi(argv[2]), std::atoi(argv[3]));
    if (verb == "menu-close" && argc == 2) return CloseMenu();
    std::fprintf(stderr, "usage: see the comment at the top of shot_helper.cpp\n");
    return 2;
}
