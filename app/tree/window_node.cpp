#include "window_node.h"

#include "handles.h"
#include "icon_cache.h"
#include "registered_programs.h"
#include "rights.h"
#include "status_bar.h"
#include "window_readers.h"

std::unique_ptr<WindowNode> RootNode;
WindowNode* SelectedNode = nullptr;
WindowNode* TargetNode = nullptr;
HWND TreeView = nullptr;
bool MainWindowHidden = false;

void ResetTree() {
    // The tree first: its nodes clear the references to themselves, and its
    // items use the image list.
    RootNode.reset();
    SelectedNode = nullptr;
    TargetNode = nullptr;
    DestroyTreeImageList();
    TreeView = nullptr;
    StatusBar = nullptr;
    MainWindowHidden = false;
}

// ---- the node

WindowNode::WindowNode(HWND nodeWindow, WindowNode* parentNode, HWND nodeContainer) {
    window = nodeWindow;

    if (!parentNode && !nodeContainer) {
        windowText = UI_TEXT("desktop");
        container = window;
        GetWindowThreadProcessId(window, &processId);
        // Discovery starts when the root's item is expanded.
        return;
    }

    // Known even when the node dies at birth, so that its short-lived item
    // sits under its parent and it is never taken for the root.
    parent = parentNode;
    if (!IsAcceptableWindow(window)) {
        dead = true;
        return;
    }

    UiChar name[MAX_PATH] = {};
    const int length = UiGetClassName(window, name, MAX_PATH);
    className = UiText(name, length > 0 && length < MAX_PATH ? length : 0);
    container = nodeContainer;

    if (!container) {
        leaf = true;
    } else {
        leaf = false;
        GetWindowThreadProcessId(window, &processId);
        elevated = RunsWithHigherRights(processId);
        ReadModulePath();
        version.Load(modulePath);
        programName = version.QueryString("ProductName") + UI_TEXT(" ") + version.QueryString("FileVersion");
    }
    if (!leaf) CheckRegistered();

    // A program whose file cannot be read still lives: it is listed by its
    // title and can be monitored, only not registered.
    dead = className.empty();
    // All a refresh does before the node has an item.
    if (!dead) windowText = GetWindowTitle(window);
}

WindowNode::~WindowNode() {
    if (this == TargetNode) {
        SetStatusText(1, UI_TEXT(""));
        if (this == SelectedNode) SetStatusText(0, UI_TEXT(""));
    }
    if (!leaf) DeleteChildren();
    // Deleting a selected item makes the tree view select another one and
    // report it, which may point SelectedNode anywhere meanwhile.
    if (treeItem && TreeView && IsWindow(TreeView))
        SendMessageA(TreeView, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(treeItem));
    if (SelectedNode == this) SelectedNode = nullptr;
    if (TargetNode == this) TargetNode = nullptr;
    // Its item is gone: the image may go to another icon.
    ReleaseImage(imageIndex);
}

void WindowNode::ReadModulePath() {
    modulePath = ModulePathOf(window, processId);
}

void WindowNode::CheckRegistered() {
    registered = false;
    // Without a path the program could only match the key's unnamed value.
    if (modulePath.empty()) return;
    {
        // Only whether the key exists.
        ScopedRegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegisteredProgramsKey, 0, KEY_READ, key.put()) !=
            ERROR_SUCCESS)
            return;
    }
    std::vector<RegisteredProgram> programs;
    LoadRegisteredPrograms(programs);
    registered = IsRegistered(programs, modulePath, programName);
}

void WindowNode::DeleteChildren() {
    while (!children.empty()) {
        std::unique_ptr<WindowNode> first = std::move(children.begin()->second);
        children.erase(children.begin());
        first.reset();
    }
}
