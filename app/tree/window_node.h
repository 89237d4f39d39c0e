// The tree of windows among which the user picks the program to monitor:
// the desktop at the root, the running programs below it, their document
// windows below an expanded program.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app_state.h"  // RootNode, SelectedNode, TargetNode
#include "tree_rules.h"

// The version resource of one file.
class VersionInfo {
public:
    VersionInfo() = default;
    ~VersionInfo() = default;
    VersionInfo(const VersionInfo&) = delete;
    VersionInfo& operator=(const VersionInfo&) = delete;

    // Reads the file's version resource and its first translation. The
    // result matters less than whether buffer is present afterwards.
    bool Load(const std::string& path);
    // The string value under the translation; empty when there is none.
    std::string QueryString(const char* valueName) const;

    std::unique_ptr<BYTE[]> buffer;
    WORD language = kVersionFallbackLanguage;
    WORD codePage = kVersionFallbackCodePage;
};

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

    // Re-reads the title, keeps the item in step, decides whether the node
    // is dead and refreshes the children when due.
    void Refresh();
    // Removes dead children and discovers new ones, in one walk over the
    // windows of this level.
    void RefreshChildren();
    void DeleteChildren();

    void InsertTreeItem();
    void ReadItemState();
    void ReadItemText();
    void SetItemText(const std::string& text);
    void ShowExpandButton();

    WindowNodeMap children;
    VersionInfo version;
    WindowNode* parent = nullptr;
    HWND window = nullptr;
    HWND container = nullptr;
    std::string programName;
    std::string className;
    std::string windowText;
    std::string modulePath;
    std::string itemText;
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

private:
    // Refresh, told whether the parent's walk found the window where it
    // belongs (still a child of the parent's container).
    void Refresh(bool inPlace);
    // The windows that may be children, in the platform's order.
    void ListCandidates(std::vector<HWND>& windows) const;

    // Set by the parent's walk: the window was among the level's windows.
    bool found = false;
};

// What status part 0 shows for a selected node whose program file cannot
// be read, and for one that runs with higher rights.
extern const char kUnreadableProgramText[];
extern const char kHigherRightsText[];
// Status part 0 for the selected node (none: the empty text).
const char* SelectionStatusText(const WindowNode* node);

std::string GetWindowTitle(HWND window);
// Captioned, visible, titled and alive.
bool IsAcceptableWindow(HWND window);
// The title is not empty (one call, whatever the title's length).
bool HasTitle(HWND window);
// The window that holds W's document windows: its "MDIClient", or else the
// parent of its first acceptable descendant; none without either.
HWND FindContainer(HWND window);
// Enumeration callback of the children discovery; context is the node.
BOOL CALLBACK AddChildWindow(HWND window, LPARAM context);
// Refreshes every program and checks its registration again.
void RefreshPrograms();
// True when candidate is window itself or one of its ancestors.
bool IsWindowWithin(HWND window, HWND candidate);

// Tree view notifications (WM_NOTIFY from the tree view) of the main window.
LRESULT OnTreeNotify(const NMHDR* header);
// Expands the root's item, which runs the first discovery. Where that found
// no program the item cannot open yet; the periodic refresh then calls
// ExpandRootItemIfPending, which opens it once the first program is listed.
void ExpandRootItem();
void ExpandRootItemIfPending();
