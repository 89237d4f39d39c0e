// Shows a program in a running hoverlane's tree, as a user would by opening
// its item: expands and selects the item, for screenshots.
//
//   show_program [item text]
//
// Without a text the first program under "desktop" is taken. Ends with 0
// when the item was found and opened.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "harness.h"

int main(int argc, char** argv) {
    const std::string wanted = argc > 1 ? argv[1] : "";
    HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane");
    HWND tree = main ? FindWindowExA(main, nullptr, "SysTreeView32", nullptr) : nullptr;
    if (!tree) {
        std::fprintf(stderr, "no running hoverlane\n");
        return 1;
    }
    HTREEITEM found = nullptr;
    harness::WaitUntil([&] {
        for (const auto& item : harness::TreeChildren(tree, harness::TreeRoot(tree)))
            if (wanted.empty() || item.text == wanted) {
                found = item.item;
                return true;
            }
        return false;
    });
    if (!found) {
        std::fprintf(stderr, "no program item \"%s\"\n", wanted.c_str());
        return 1;
    }
    // Neither message carries a pointer, so both work across processes.
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(found));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(found));
    return harness::TreeChild(tree, found) ? 0 : 1;
}
