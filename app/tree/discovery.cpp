// Finding the windows that become nodes.
#include <new>

#include "errors.h"
#include "window_node.h"

namespace {

const char kMdiClientClass[] = "MDIClient";

BOOL CALLBACK FindFirstAcceptable(HWND window, LPARAM context) {
    if (!IsAcceptableWindow(window)) return TRUE;
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
}

}  // namespace

BOOL CALLBACK AddChildWindow(HWND window, LPARAM context) {
    WindowNode* node = reinterpret_cast<WindowNode*>(context);
    // Each test turns the window away for good, so the cheap ones go first:
    // the map, the style, the parent, and only then the title and the
    // search for a container.
    if (node->children.count(window)) return TRUE;
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (!HasAcceptableStyle(style)) return TRUE;
    const HWND reportedParent = MayReportParent(style) ? GetParent(window) : nullptr;
    if (!ParentAdmits(reportedParent, node->container)) return TRUE;
    // A top-level window is visible when its own style says so.
    if (node != RootNode.get() && !IsWindowVisible(window)) return TRUE;
    if (!HasTitle(window)) return TRUE;
    const HWND container = FindContainer(window);
    if (!container && node == RootNode.get()) return TRUE;

    WindowNode* child = new (std::nothrow) WindowNode(window, node, container);
    if (!child) ReportFatalError(ErrorNoMemory, "Cannot allocate a byte buffer");
    // Dead at birth, the window went away or stopped qualifying meanwhile:
    // an item for it would only show blank until the next refresh.
    if (child->dead) {
        delete child;
        return TRUE;
    }
    node->children[window].reset(child);
    child->InsertTreeItem();
    return TRUE;
}

HWND FindContainer(HWND window) {
    if (HWND client = FindWindowExA(window, nullptr, kMdiClientClass, nullptr)) return client;
    HWND first = nullptr;
    EnumChildWindows(window, FindFirstAcceptable, reinterpret_cast<LPARAM>(&first));
    return first ? GetParent(first) : nullptr;
}

void RefreshPrograms() {
    if (!RootNode) return;
    for (auto& entry : RootNode->children) {
        WindowNode* program = entry.second.get();
        program->Refresh();
        if (!program->dead) program->CheckRegistered();
    }
}

bool IsWindowWithin(HWND window, HWND candidate) {
    HWND current = window;
    while (current != candidate) {
        current = GetParent(current);
        if (!current) return false;
    }
    return true;
}
