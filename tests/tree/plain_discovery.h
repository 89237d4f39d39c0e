// Discovery as first written, kept as a yardstick: every descendant of the
// node's window is looked at, acceptance is tested in its written order with
// the title read whole, the container is searched before the parent test.
// The tree tests compare hoverlane's discovery with it; the benchmark times
// it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "discovery.h"
#include "window_readers.h"

namespace plain {

inline bool Acceptable(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    return IsWindow(window) && (style & WS_CAPTION) == WS_CAPTION && IsWindowVisible(window) &&
           !GetWindowTitle(window).empty();
}

inline BOOL CALLBACK FirstAcceptable(HWND window, LPARAM context) {
    if (!Acceptable(window)) return TRUE;
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
}

inline HWND Container(HWND window) {
    if (HWND client = FindWindowExA(window, nullptr, "MDIClient", nullptr)) return client;
    HWND first = nullptr;
    EnumChildWindows(window, FirstAcceptable, reinterpret_cast<LPARAM>(&first));
    return first ? GetParent(first) : nullptr;
}

struct Child {
    HWND window;
    HWND container;
};

inline bool operator==(const Child& a, const Child& b) {
    return a.window == b.window && a.container == b.container;
}

struct Walk {
    HWND container;
    bool isRoot;
    const WindowNodeMap* known;  // windows that already have a node; none for a full listing
    std::vector<Child> found;
};

inline BOOL CALLBACK Add(HWND window, LPARAM context) {
    auto* walk = reinterpret_cast<Walk*>(context);
    if (!Acceptable(window)) return TRUE;
    if (walk->known && walk->known->count(window)) return TRUE;
    const HWND container = Container(window);
    if (!container && walk->isRoot) return TRUE;
    const HWND parent = GetParent(window);
    if (parent && parent != walk->container) return TRUE;
    walk->found.push_back({window, container});
    return TRUE;
}

// The windows that would become the node's children, in the order found.
inline std::vector<Child> Discover(const WindowNode& node, bool skipKnown = false) {
    Walk walk{node.container, &node == RootNode.get(), skipKnown ? &node.children : nullptr, {}};
    EnumChildWindows(node.window, Add, reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

}  // namespace plain
