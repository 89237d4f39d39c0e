#include "window_node.h"

#include <psapi.h>

#include <cstring>
#include <vector>

#include "app_state.h"
#include "errors.h"
#include "family.h"
#include "handles.h"
#include "icon_cache.h"
#include "registered_programs.h"
#include "rights.h"
#include "system_function.h"
#include "text.h"

namespace {

const char kStringBufferDetail[] = "Cannot allocate a string buffer";
const char kByteBufferDetail[] = "Cannot allocate a byte buffer";

void ClearStatusPart(int part) {
    if (StatusBar) SendMessageA(StatusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(""));
}

// Titles are read whole up to this many bytes.
constexpr size_t kLongestTitle = 1 << 20;

// A walk along a sibling chain that the windows' owners keep reordering
// could go round for ever; no container holds this many windows.
constexpr size_t kMaxSiblings = 100000;

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

// Text of a fixed buffer that the system may have filled to the brim.
std::string BufferText(const char* buffer, size_t capacity) {
    return std::string(buffer, strnlen(buffer, capacity - 1));
}

}  // namespace

// ---- version resource

bool VersionInfo::Load(const std::string& path) {
    codePage = kVersionFallbackCodePage;
    language = kVersionFallbackLanguage;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return false;
    buffer = AllocateBuffer<BYTE>(size, kByteBufferDetail);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, buffer.get())) {
        buffer.reset();
        return false;
    }
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.get(), "\\", &block, &length)) return false;
    if (!VerQueryValueA(buffer.get(), "\\VarFileInfo\\Translation", &block, &length) ||
        length < sizeof(DWORD) || !block)
        return false;
    DWORD entry = 0;
    std::memcpy(&entry, block, sizeof(entry));
    const Translation translation = TranslationFrom(entry);
    language = translation.language;
    codePage = translation.codePage;
    return true;
}

std::string VersionInfo::QueryString(const char* valueName) const {
    if (!buffer) return std::string();
    const std::string path = VersionQueryPath({language, codePage}, valueName);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.get(), path.c_str(), &value, &length) || !value) return std::string();
    // The length counts characters, the terminator perhaps included; a
    // damaged resource may have no terminator at all.
    return TextFromBytes(value, length);
}

// ---- window readers

std::string GetWindowTitle(HWND window) {
    // Wine reads something for no window at all when the buffer is large.
    if (!window) return std::string();
    // Read with ever larger buffers until the title fits: GetWindowText
    // reads another program's title without asking that program, while
    // asking for the length would send its window a message and wait for a
    // program that may hang. Most titles fit the first buffer.
    char shortTitle[kItemTextBuffer] = {};
    int read = GetWindowTextA(window, shortTitle, sizeof(shortTitle));
    if (read <= 0) return std::string();
    // Two bytes to spare: a title cut before a two-byte character leaves one.
    if (static_cast<size_t>(read) + 2 < sizeof(shortTitle))
        return BufferText(shortTitle, sizeof(shortTitle));
    for (size_t size = 4 * sizeof(shortTitle);; size *= 4) {
        // Longer titles than this are cut.
        if (size > kLongestTitle) size = kLongestTitle;
        auto buffer = AllocateBuffer<char>(size, kStringBufferDetail);
        buffer[0] = '\0';
        read = GetWindowTextA(window, buffer.get(), static_cast<int>(size));
        if (read <= 0) return std::string();
        if (static_cast<size_t>(read) + 2 < size || size == kLongestTitle)
            return BufferText(buffer.get(), size);
    }
}

bool HasTitle(HWND window) {
    char first[2] = {};
    return GetWindowTextA(window, first, sizeof(first)) > 0;
}

bool IsAcceptableWindow(HWND window) {
    // The style first: one call turns most windows away, and a window that
    // is gone has no style at all.
    return HasAcceptableStyle(GetWindowLongA(window, GWL_STYLE)) && IsWindowVisible(window) &&
           HasTitle(window);
}

// ---- the node

WindowNode::WindowNode(HWND nodeWindow, WindowNode* parentNode, HWND nodeContainer) {
    window = nodeWindow;

    if (!parentNode && !nodeContainer) {
        windowText = "desktop";
        container = window;
        GetWindowThreadProcessId(window, &processId);
        // Does nothing yet: no item, and not yet the root. Discovery starts
        // when the root's item is expanded.
        Refresh();
        return;
    }

    // Known even when the node dies at birth, so that its short-lived item
    // sits under its parent and it is never taken for the root.
    parent = parentNode;
    if (!IsAcceptableWindow(window)) {
        dead = true;
        return;
    }

    char name[MAX_PATH] = {};
    GetClassNameA(window, name, MAX_PATH);
    className = BufferText(name, MAX_PATH);
    container = nodeContainer;

    if (!container) {
        leaf = true;
    } else {
        leaf = false;
        GetWindowThreadProcessId(window, &processId);
        elevated = RunsWithHigherRights(processId);
        ReadModulePath();
        version.Load(modulePath);
        programName = version.QueryString("ProductName") + " " + version.QueryString("FileVersion");
    }
    if (!leaf) CheckRegistered();

    // A program whose file cannot be read still lives: it is listed by its
    // title and can be monitored, only not registered.
    dead = className.empty();
    Refresh();
}

WindowNode::~WindowNode() {
    if (this == TargetNode) {
        ClearStatusPart(1);
        if (this == SelectedNode) ClearStatusPart(0);
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

#if defined(HOVERLANE_FAMILY_95)

void WindowNode::ReadModulePath() {
    char path[MAX_PATH] = {};
    if (GetWindowModuleFileNameA(window, path, MAX_PATH) == 0) {
        modulePath.clear();
        return;
    }
    modulePath = BufferText(path, MAX_PATH);
}

#else

namespace {

constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION

using QueryImageNameProc = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

// The program file of the process; empty when it cannot be read.
std::string ProcessImagePath(DWORD processId) {
    // Windows Vista and later have it; XP does not, and hoverlane must start there.
    static const auto queryImageName =
        SystemFunction<QueryImageNameProc>("kernel32.dll", "QueryFullProcessImageNameA");
    if (!queryImageName) return std::string();
    // The limited right is all the call needs, and is granted for more
    // processes than the full one (every system with the call knows it).
    ScopedHandle process(OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process) return std::string();
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!queryImageName(process.get(), 0, path, &size)) return std::string();
    return BufferText(path, MAX_PATH);
}

}  // namespace

void WindowNode::ReadModulePath() {
    modulePath.clear();
    ScopedHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process) {
        char path[MAX_PATH] = {};
        const HMODULE module = reinterpret_cast<HMODULE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
        if (GetModuleFileNameExA(process.get(), module, path, MAX_PATH) != 0) {
            modulePath = BufferText(path, MAX_PATH);
            return;
        }
    }
    // The window's module cannot be read when the process is protected or
    // elevated, is a 64-bit one seen from a 32-bit build, or gave the
    // window an instance handle that names no module. Its program file
    // names the program just as well.
    modulePath = ProcessImagePath(processId);
}

#endif

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

// ---- keeping in step with the live windows

void WindowNode::Refresh() {
    // Refreshed on its own, outside its parent's walk: it looks up its own
    // place.
    Refresh(!parent || GetAncestor(window, GA_PARENT) == parent->container);
}

void WindowNode::Refresh(bool inPlace) {
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
            // The window is gone, or no longer where its parent looks for
            // it. Other windows of the same class and title do not matter:
            // the node stands for its own window.
            if (!inPlace) dead = true;
        }
    }
    // A document window has no children to look after.
    if (leaf) return;
    if (!MainWindowHidden || this == RootNode.get()) {
        ReadItemState();
        RefreshChildren();
    }
}

void WindowNode::RefreshChildren() {
    if (this != RootNode.get() && !(itemState & TVIS_EXPANDED)) return;

    // One walk over this level's windows serves both halves: the children
    // met in it are still in place, the other windows may be new ones.
    std::vector<HWND> windows;
    ListCandidates(windows);
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
        WindowNode* node = child->second.get();
        // A walk that met a window destroyed or moved meanwhile stops short
        // or skips some: a child it missed looks up its own place.
        node->Refresh(node->found || GetAncestor(node->window, GA_PARENT) == container);
    }
    for (HWND handle : handles) {
        const auto child = children.find(handle);
        if (child == children.end() || !child->second->dead) continue;
        std::unique_ptr<WindowNode> removed = std::move(child->second);
        children.erase(child);
        removed.reset();
    }

    const LPARAM context = reinterpret_cast<LPARAM>(this);
    for (HWND window : windows) AddChildWindow(window, context);
}

void WindowNode::ListCandidates(std::vector<HWND>& windows) const {
    // Only top-level windows can pass the root's parent test, so the root
    // walks them alone instead of every window on the desktop.
    if (this == RootNode.get()) {
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
        return;
    }
    // Below a program only the direct children of its container can pass
    // it, and they are walked alone, without the windows inside them.
    if (!container) return;
    windows.reserve(children.size() + 16);
    for (HWND window = GetWindow(container, GW_CHILD); window && windows.size() < kMaxSiblings;
         window = GetWindow(window, GW_HWNDNEXT))
        windows.push_back(window);
}

void WindowNode::DeleteChildren() {
    while (!children.empty()) {
        std::unique_ptr<WindowNode> first = std::move(children.begin()->second);
        children.erase(children.begin());
        first.reset();
    }
}

// ---- the tree view item

void WindowNode::InsertTreeItem() {
    imageIndex = GetWindowImageIndex(*this);

    char text[kItemTextBuffer];
    CopyBounded(text, sizeof(text), ItemTextFor(windowText));
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent->treeItem : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = text;
    // -1 would ask this window for the image at every paint; without an
    // icon the item names no image at all.
    const int image = imageIndex >= 0 ? imageIndex : I_IMAGENONE;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    // The expand button shows before any child is known.
    insert.item.cChildren = leaf ? 0 : 1;
    insert.item.lParam = reinterpret_cast<LPARAM>(this);
    treeItem = reinterpret_cast<HTREEITEM>(
        SendMessageA(TreeView, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void WindowNode::ReadItemState() {
    if (!treeItem) return;
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = treeItem;
    item.stateMask = TVIS_EXPANDED;
    SendMessageA(TreeView, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    itemState = item.state;
}

void WindowNode::ReadItemText() {
    if (!treeItem) return;
    char text[kItemTextBuffer] = {};
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = treeItem;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(TreeView, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    text[sizeof(text) - 1] = '\0';
    itemText = text;
}

void WindowNode::SetItemText(const std::string& shown) {
    char text[kItemTextBuffer];
    CopyBounded(text, sizeof(text), shown);
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = treeItem;
    item.pszText = text;
    SendMessageA(TreeView, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void WindowNode::ShowExpandButton() {
    if (!treeItem || leaf) return;
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = treeItem;
    item.cChildren = 1;
    SendMessageA(TreeView, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}
