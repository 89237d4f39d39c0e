// Keeping the tree in step with the live windows.
#include <new>

#include "app_state.h"
#include "errors.h"
#include "window_node.h"

namespace {

const char kMdiClientClass[] = "MDIClient";

BOOL CALLBACK FindFirstAcceptable(HWND window, LPARAM context) {
    if (!IsAcceptableWindow(window)) return TRUE;
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
}

// Below a program only the direct children of its container can pass the
// parent test, so the rest of the program's windows need no look.
BOOL CALLBACK AddContainedWindow(HWND window, LPARAM context) {
    const WindowNode* node = reinterpret_cast<const WindowNode*>(context);
    if (GetAncestor(window, GA_PARENT) != node->container) return TRUE;
    return AddChildWindow(window, context);
}

}  // namespace

void WindowNode::Refresh() {
    if (parent) {
        if (dead) return;
        windowText = GetWindowTitle(window);
        if (treeItem) {
            if (!MainWindowHidden) {
                ReadItemText();
                if (windowText.empty()) {
                    dead = true;
                } else {
                    const std::string shown = ItemTextFor(windowText);
                    if (shown != itemText) SetItemText(shown);
                }
            }
            // Another window of the same class and title coming first means
            // this node no longer stands for the window the look-up finds.
            if (FindWindowExA(parent->container, nullptr, className.c_str(), windowText.c_str()) !=
                window)
                dead = true;
        }
    }
    if (!MainWindowHidden || this == RootNode.get()) {
        ReadItemState();
        RefreshChildren();
    }
}

void WindowNode::RefreshChildren() {
    if (this != RootNode.get() && !(itemState & TVIS_EXPANDED)) return;

    // Destroying a node deletes items, and the tree view may report a new
    // selection meanwhile: after every removal the walk starts again from
    // the first child instead of going on from a removed position.
    auto it = children.begin();
    while (it != children.end()) {
        it->second->Refresh();
        if (!it->second->dead) {
            ++it;
            continue;
        }
        std::unique_ptr<WindowNode> removed = std::move(it->second);
        children.erase(it);
        removed.reset();
        it = children.begin();
    }
    DiscoverChildren();
}

void WindowNode::DiscoverChildren() {
    const LPARAM context = reinterpret_cast<LPARAM>(this);
    // Only top-level windows can pass the root's parent test, so the root
    // walks them alone instead of every window on the desktop.
    if (this == RootNode.get())
        EnumWindows(AddChildWindow, context);
    else if (container)
        EnumChildWindows(container, AddContainedWindow, context);
}

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
    if (!child) ReportError(ErrorNoMemory, "Cannot allocate a byte buffer");
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

void WindowNode::DeleteChildren() {
    while (!children.empty()) {
        std::unique_ptr<WindowNode> first = std::move(children.begin()->second);
        children.erase(children.begin());
        first.reset();
    }
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
