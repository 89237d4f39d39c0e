// Keeping the tree in step with the live windows: finding the windows that
// become nodes, and the nodes whose windows are gone.
#include "discovery.h"

#include <new>
#include <vector>

#include "errors.h"
#include "tree_items.h"
#include "window_readers.h"

namespace {

const char kMdiClientClass[] = "MDIClient";

// A walk along a sibling chain that the windows' owners keep reordering
// could go round for ever; no container holds this many windows.
constexpr size_t kMaxSiblings = 100000;

static BOOL CollectWindowUnguarded(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

// Called by Windows: an exception stops here (see Guarded).
BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    return Guarded([&] { return CollectWindowUnguarded(window, context); });
}

static BOOL FindFirstAcceptableUnguarded(HWND window, LPARAM context) {
    if (!IsAcceptableWindow(window)) return TRUE;
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
}

// Called by Windows: an exception stops here (see Guarded).
BOOL CALLBACK FindFirstAcceptable(HWND window, LPARAM context) {
    return Guarded([&] { return FindFirstAcceptableUnguarded(window, context); });
}

}  // namespace

static BOOL AddChildWindowUnguarded(HWND window, LPARAM context) {
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
    if (!child) ReportFatalError(ErrorNoMemory, kByteBufferDetail);
    // Dead at birth, the window went away or stopped qualifying meanwhile:
    // an item for it would only show blank until the next refresh.
    if (child->dead) {
        delete child;
        return TRUE;
    }
    node->children[window].reset(child);
    InsertTreeItem(*child);
    return TRUE;
}

// Called by Windows: an exception stops here (see Guarded).
BOOL CALLBACK AddChildWindow(HWND window, LPARAM context) {
    return Guarded([&] { return AddChildWindowUnguarded(window, context); });
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
        Refresh(*program);
        if (!program->dead) program->CheckRegistered();
    }
}

namespace {

// The windows that may become the node's children, in the platform's order.
void ListCandidates(const WindowNode& node, std::vector<HWND>& windows) {
    // Only top-level windows can pass the root's parent test, so the root
    // walks them alone instead of every window on the desktop.
    if (&node == RootNode.get()) {
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
        return;
    }
    // Below a program only the direct children of its container can pass
    // it, and they are walked alone, without the windows inside them.
    if (!node.container) return;
    windows.reserve(node.children.size() + 16);
    for (HWND window = GetWindow(node.container, GW_CHILD); window && windows.size() < kMaxSiblings;
         window = GetWindow(window, GW_HWNDNEXT))
        windows.push_back(window);
}

// Refresh, told whether the parent's walk found the window where it
// belongs (still a child of the parent's container).
void RefreshInPlace(WindowNode& node, bool inPlace) {
    if (node.parent) {
        if (node.dead) return;
        node.windowText = GetWindowTitle(node.window);
        if (node.treeItem) {
            if (!MainWindowHidden) {
                ReadItemText(node);
                if (node.windowText.empty()) {
                    node.dead = true;
                } else {
                    const UiText shown = ItemTextFor(node.windowText);
                    if (shown != node.itemText) SetItemText(node, shown);
                }
            }
            // The window is gone, or no longer where its parent looks for
            // it. Other windows of the same class and title do not matter:
            // the node stands for its own window.
            if (!inPlace) node.dead = true;
        }
    }
    // A document window has no children to look after.
    if (node.leaf) return;
    if (!MainWindowHidden || &node == RootNode.get()) {
        ReadItemState(node);
        RefreshChildren(node);
    }
}

}  // namespace

void Refresh(WindowNode& node) {
    // Refreshed on its own, outside its parent's walk: it looks up its own
    // place.
    RefreshInPlace(node, !node.parent || GetAncestor(node.window, GA_PARENT) == node.parent->container);
}

void RefreshChildren(WindowNode& node) {
    if (&node != RootNode.get() && !(node.itemState & TVIS_EXPANDED)) return;

    // One walk over this level's windows serves both halves: the children
    // met in it are still in place, the other windows may be new ones.
    std::vector<HWND> windows;
    ListCandidates(node, windows);
    WindowNodeMap& children = node.children;
    for (auto& entry : children) entry.second->found = false;
    for (HWND window : windows) {
        const auto known = children.find(window);
        if (known != children.end()) known->second->found = true;
    }

    // Destroying a node deletes items, and the tree view may report a new
    // selection meanwhile: children are reached through their handles, each
    // looked up afresh, never through a position held across a removal.
    std::vector<HWND> handles;
    handles.reserve(children.size());
    for (const auto& entry : children) handles.push_back(entry.first);
    for (HWND handle : handles) {
        const auto child = children.find(handle);
        if (child == children.end()) continue;
        WindowNode& each = *child->second;
        // A walk that met a window destroyed or moved meanwhile stops short
        // or skips some: a child it missed looks up its own place.
        RefreshInPlace(each, each.found || GetAncestor(each.window, GA_PARENT) == node.container);
    }
    for (HWND handle : handles) {
        const auto child = children.find(handle);
        if (child == children.end() || !child->second->dead) continue;
        std::unique_ptr<WindowNode> removed = std::move(child->second);
        children.erase(child);
        removed.reset();
    }

    const LPARAM context = reinterpret_cast<LPARAM>(&node);
    for (HWND window : windows) AddChildWindow(window, context);
}
