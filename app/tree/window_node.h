// The tree of windows among which the user picks the program to monitor:
// the desktop at the root, the running programs below it, their document
// windows below an expanded program. This header holds the node and the
// tree's own state; discovery.h keeps the nodes in step with the windows,
// tree_items.h shows them in the tree view.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tree_rules.h"
#include "version_info.h"

class WindowNode;
using WindowNodeMap = std::map<HWND, std::unique_ptr<WindowNode>, HandleOrder>;

class WindowNode {
public:
    // The root: the desktop window with no parent and no container. Any
    // other node: a window discovered below parent, with the container
    // that holds its own child windows (none for a document window).
    WindowNode(HWND window, WindowNode* parent, HWND container);
    ~WindowNode();
    WindowNode(const WindowNode&) = delete;
    WindowNode& operator=(const WindowNode&) = delete;

    void ReadModulePath();
    void CheckRegistered();
    // A program (or a document holding documents) whose program file could
    // not be read: it lives, but cannot be registered.
    bool FileUnreadable() const { return parent && !leaf && modulePath.empty(); }

    void DeleteChildren();

    WindowNodeMap children;
    VersionInfo version;
    WindowNode* parent = nullptr;
    HWND window = nullptr;
    HWND container = nullptr;
    UiText programName;
    UiText className;
    UiText windowText;
    UiText modulePath;
    UiText itemText;
    DWORD itemState = 0;
    int imageIndex = -1;
    HTREEITEM treeItem = nullptr;
    DWORD processId = 0;
    bool registered = false;
    bool leaf = false;
    bool dead = false;
    // The program runs with higher rights than hoverlane, which may then
    // neither move nor activate its windows: the tick leaves it alone.
    bool elevated = false;

    // Set by the parent's walk in discovery: the window was among the
    // level's windows.
    bool found = false;
};

// The root, created with the main window and deleted at its shutdown.
extern std::unique_ptr<WindowNode> RootNode;
// The node whose item is selected, and the one the monitoring works on.
// Neither owns its node; a node clears them when it is destroyed.
extern WindowNode* SelectedNode;
extern WindowNode* TargetNode;
// The tree view that shows the nodes; the main window makes it.
extern HWND TreeView;
// True while the main window is hidden in the tray: the refresh then looks
// after the programs only.
extern bool MainWindowHidden;

// Deletes the tree and the tree view's image list; every value above back
// to its start.
void ResetTree();
