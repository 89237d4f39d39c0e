#include "window_node.h"

#include <psapi.h>

#include <climits>
#include <cstring>
#include <vector>

#include "app_state.h"
#include "errors.h"
#include "family.h"
#include "handles.h"
#include "registered_programs.h"
#include "text.h"

std::unique_ptr<WindowNode> RootNode;
WindowNode* SelectedNode = nullptr;
WindowNode* TargetNode = nullptr;

const char kUnreadableProgramText[] = "Program file cannot be read";

namespace {

const char kStringBufferDetail[] = "Cannot allocate a string buffer";
const char kByteBufferDetail[] = "Cannot allocate a byte buffer";

void ClearStatusPart(int part) {
    if (StatusBar) SendMessageA(StatusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(""));
}

// Text of a fixed buffer that the system may have filled to the brim.
std::string BufferText(const char* buffer, size_t capacity) {
    return std::string(buffer, strnlen(buffer, capacity - 1));
}

}  // namespace

// ---- version resource

bool VersionInfo::Load(const std::string& path) {
    codePage = kDefaultCodePage;
    language = kDefaultLanguage;
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

const char* SelectionStatusText(const WindowNode* node) {
    if (!node) return "";
    return node->FileUnreadable() ? kUnreadableProgramText : node->programName.c_str();
}

// ---- window readers

std::string GetWindowTitle(HWND window) {
    // Most titles fit a small buffer. Asking for the length first would
    // send another program's window a message, and wait for its answer, at
    // every refresh.
    char shortTitle[kItemTextBuffer];
    const int read = GetWindowTextA(window, shortTitle, sizeof(shortTitle));
    if (read <= 0) return std::string();
    // Two bytes to spare: a title cut before a two-byte character leaves one.
    if (static_cast<size_t>(read) + 2 < sizeof(shortTitle))
        return BufferText(shortTitle, sizeof(shortTitle));

    int length = GetWindowTextLengthA(window);
    if (length < 0) length = 0;
    const size_t size = static_cast<size_t>(length) + 5;
    auto buffer = AllocateBuffer<char>(size, kStringBufferDetail);
    buffer[0] = '\0';
    buffer[size - 1] = '\0';
    const int limit = length < INT_MAX ? length + 1 : INT_MAX;
    if (GetWindowTextA(window, buffer.get(), limit) <= 0) return std::string();
    return BufferText(buffer.get(), size);
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

// Windows Vista and later have it; XP does not, and hoverlane must start there.
QueryImageNameProc LookUpQueryImageName() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC proc = kernel ? GetProcAddress(kernel, "QueryFullProcessImageNameA") : nullptr;
    return reinterpret_cast<QueryImageNameProc>(reinterpret_cast<void*>(proc));
}

// The program file of the process; empty when it cannot be read.
std::string ProcessImagePath(DWORD processId) {
    static const QueryImageNameProc queryImageName = LookUpQueryImageName();
    if (!queryImageName) return std::string();
    // The limited right is all the call needs and is granted for more
    // processes; XP knows only the full one.
    ScopedHandle process(OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process) process.reset(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
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
