#include "harness.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "threads.h"

#include "handles.h"
#include "install_layout.h"
#include "sync_window.h"

namespace harness {

bool Family95() {
    static const bool family95 = [] {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof(info);
        return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    }();
    return family95;
}

const char* OfVariant(const char* nt, const char* family95) {
    return Family95() ? family95 : nt;
}

WineVersionFor::WineVersionFor(const std::string& exeName, const char* version)
    : key_("Software\\Wine\\AppDefaults\\" + exeName) {
    WriteText(HKEY_CURRENT_USER, key_.c_str(), "Version", version);
}

WineVersionFor::~WineVersionFor() {
    DeleteKeyTree(HKEY_CURRENT_USER, key_.c_str());
}

namespace {

std::set<std::string>& HiddenFunctions() {
    static std::set<std::string> hidden;
    return hidden;
}

FARPROC(WINAPI* RealGetProcAddress)(HMODULE, LPCSTR) = nullptr;

FARPROC WINAPI GetProcAddressHiding(HMODULE module, LPCSTR name) {
    // An ordinal is no name: below 64K the "pointer" is the number.
    if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && HiddenFunctions().count(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return RealGetProcAddress(module, name);
}

}  // namespace

void HideSystemFunction(const char* name) {
    HiddenFunctions().insert(name);
    if (RealGetProcAddress) return;
    // The product's code is linked into this program: its calls go through
    // this program's import table, whose kernel32 entry is replaced.
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const FARPROC real = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcAddress");
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name; ++dll) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
             slot->u1.Function; ++slot) {
            if (reinterpret_cast<FARPROC>(slot->u1.Function) != real) continue;
            DWORD was = 0;
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &was);
            // Through void*: a FARPROC converts to no other function type directly.
            RealGetProcAddress =
                reinterpret_cast<decltype(RealGetProcAddress)>(reinterpret_cast<void*>(real));
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(&GetProcAddressHiding);
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), was, &was);
        }
    }
}

std::string WinPath(const char* unixPath) {
    // Already a Windows path (a drive letter and a colon): as it is.
    if (unixPath[0] && unixPath[1] == ':') return unixPath;
    std::string path = "Z:";
    for (const char* p = unixPath; *p; ++p) path += (*p == '/') ? '\\' : *p;
    return path;
}

namespace {

// Timer messages this thread has dispatched, by window and timer.
thread_local std::map<std::pair<HWND, UINT_PTR>, long> TimersDispatched;

}  // namespace

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (message.message == WM_TIMER) ++TimersDispatched[{message.hwnd, message.wParam}];
    }
}

long TicksDispatched(HWND window, UINT_PTR timerId) {
    return TimersDispatched[{window, timerId}];
}

bool WaitForTicks(HWND window, UINT_PTR timerId, int count, DWORD timeoutMs) {
    const long start = TimersDispatched[{window, timerId}];
    return WaitUntil([&] { return TimersDispatched[{window, timerId}] - start >= count; },
                     timeoutMs);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (cond()) return true;
        if (GetTickCount() - start >= timeoutMs) return cond();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    PumpMessages();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
}

// ---- processes

bool StartUnixProgram(const char* unixPath, const std::string& args) {
    const std::string exe = WinPath(unixPath);
    std::string commandLine = "\"" + exe + "\" " + args;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
}

Process::Process(Process&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), id_(std::exchange(other.id_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Terminate();
        if (handle_) CloseHandle(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process::~Process() {
    Terminate();
    if (handle_) CloseHandle(handle_);
}

Process Process::Start(const std::string& exe, const std::string& args, bool detached,
                       const std::string& workingDir) {
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty()) commandLine += " " + args;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    HANDLE nul = INVALID_HANDLE_VALUE;
    if (detached) {
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inherit, OPEN_EXISTING, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    }
    PROCESS_INFORMATION info = {};
    Process process;
    const BOOL started =
        CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, detached, 0, nullptr,
                       workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (started) {
        CloseHandle(info.hThread);
        process.handle_ = info.hProcess;
        process.id_ = info.dwProcessId;
    }
    return process;
}

Process Process::Start(const std::wstring& exe, const std::wstring& args) {
    std::wstring commandLine = L"\"" + exe + L"\" " + args;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    Process process;
    if (CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process.handle_ = info.hProcess;
        process.id_ = info.dwProcessId;
    }
    return process;
}

Process Process::Open(DWORD pid) {
    Process process;
    process.handle_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                                  FALSE, pid);
    if (process.handle_) process.id_ = pid;
    return process;
}

bool Process::WaitExit(DWORD timeoutMs) {
    if (!handle_) return true;
    return WaitUntil([this] { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; },
                     timeoutMs);
}

bool Process::Running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (handle_) GetExitCodeProcess(handle_, &code);
    return code;
}

void Process::Terminate() {
    if (Running()) {
        TerminateProcess(handle_, 255);
        WaitForSingleObject(handle_, 5000);
        // Wine destroys a killed process's windows a moment after the process
        // has ended; a window left over would answer for it in the next test.
        WaitUntil([this] { return !HasTopWindows(id_); }, 5000);
    }
}

// ---- windows

namespace {

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM context) {
    auto* pid = reinterpret_cast<DWORD*>(context);
    if (WindowProcessId(window) != *pid) return TRUE;
    *pid = 0;
    return FALSE;
}

}  // namespace

bool HasTopWindows(DWORD pid) {
    DWORD search = pid;
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search == 0;
}

namespace {

BOOL CALLBACK DescribeWindow(HWND window, LPARAM context) {
    auto* query = reinterpret_cast<std::pair<DWORD, std::string>*>(context);
    if (WindowProcessId(window) != query->first) return TRUE;
    char name[MAX_PATH] = {};
    GetClassNameA(window, name, MAX_PATH);
    query->second += std::string(" [") + name + " \"" + WindowText(window) + "\"" +
                     (IsWindowVisible(window) ? " visible" : " hidden");
    const std::string text = BoxText(window);
    if (!text.empty()) query->second += " text \"" + text + "\"";
    query->second += "]";
    return TRUE;
}

}  // namespace

std::string DescribeProcess(const Process& process) {
    std::pair<DWORD, std::string> query(process.id(), "");
    if (!process.valid()) return "process not started";
    std::string state = process.Running() ? "running" : "ended with " + std::to_string(process.ExitCode());
    EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&query));
    return "process " + std::to_string(process.id()) + " " + state + ", windows:" +
           (query.second.empty() ? " none" : query.second);
}

DWORD WindowProcessId(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

RECT RectIn(HWND reference, HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

GUITHREADINFO GuiState(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

namespace {

struct WindowQuery {
    const char* className;
    const char* title;
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* query = reinterpret_cast<WindowQuery*>(context);
    char name[MAX_PATH] = {};
    GetClassNameA(window, name, MAX_PATH);
    if (query->className && lstrcmpiA(name, query->className) != 0) return TRUE;
    if (query->pid && WindowProcessId(window) != query->pid) return TRUE;
    if (query->title && WindowText(window) != query->title) return TRUE;
    query->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopWindows(const char* className, DWORD pid) {
    WindowQuery query{className, nullptr, pid, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND FindTopWindow(const char* className, const char* title, DWORD pid) {
    WindowQuery query{className, title, pid, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found.empty() ? nullptr : query.found.front();
}

HWND WaitForTopWindow(const char* className, const char* title, DWORD pid, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title, pid)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForDialog(const char* caption, DWORD pid, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTopWindow("#32770", caption, pid);
            return found != nullptr && IsWindowVisible(found);
        },
        timeoutMs);
    return found;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT is carried across processes, unlike most pointer messages.
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

std::string BoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

void ClickButton(HWND dialog, int buttonId) {
    // Posted: the click may open a modal dialog that would hold a send.
    PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

std::string AnswerBox(const char* caption, int buttonId, DWORD pid, DWORD timeoutMs) {
    HWND box = WaitForDialog(caption, pid, timeoutMs);
    if (!box) return "<no box captioned " + std::string(caption) + ">";
    const std::string text = BoxText(box);
    ClickButton(box, buttonId);
    WaitUntil([box] { return !IsWindow(box); }, timeoutMs);
    return text;
}

Box WaitForAnyDialog(DWORD pid, DWORD timeoutMs) {
    Box box;
    WaitUntil(
        [&] {
            for (HWND w : TopWindows("#32770", pid))
                if (IsWindowVisible(w)) box.window = w;
            return box.window != nullptr;
        },
        timeoutMs);
    if (box.window) {
        box.caption = WindowText(box.window);
        box.text = BoxText(box.window);
    }
    return box;
}

Box AnswerNextBox(DWORD pid, int buttonId, DWORD timeoutMs) {
    Box box = WaitForAnyDialog(pid, timeoutMs);
    if (!box.window) {
        box.caption = "<no box>";
        return box;
    }
    ClickButton(box.window, buttonId);
    WaitUntil([&] { return !IsWindow(box.window); }, timeoutMs);
    return box;
}

// ---- boxes of this process

struct BoxAnswerer::State {
    std::vector<std::pair<std::string, int>> buttons;
    std::vector<Seen> seen;
    std::set<std::string> leftAlone;
    mutable Lock lock;
    std::atomic<bool> stop{false};
    std::unique_ptr<Thread> thread;
};

BoxAnswerer::BoxAnswerer(std::vector<std::pair<std::string, int>> buttons) : state_(new State) {
    state_->buttons = std::move(buttons);
    State* state = state_;
    state_->thread = std::make_unique<Thread>([state] {
        std::set<HWND> answered;
        while (!state->stop) {
            for (HWND box : TopWindows("#32770", GetCurrentProcessId())) {
                if (!IsWindowVisible(box) || answered.count(box)) continue;
                const std::string caption = WindowText(box);
                {
                    Locked guard(state->lock);
                    if (state->leftAlone.count(caption)) continue;
                }
                Seen entry{caption, BoxText(box), GetWindow(box, GW_OWNER)};
                // Closed while being read: its texts read empty, and there
                // is nothing left to answer.
                if (!IsWindow(box)) continue;
                int button = 0;
                for (const auto& rule : state->buttons)
                    if (rule.first == entry.caption) button = rule.second;
                // Unlisted: the first button the box has of OK, No, Cancel.
                for (int fallback : {IDOK, IDNO, IDCANCEL})
                    if (!button && GetDlgItem(box, fallback)) button = fallback;
                {
                    Locked guard(state->lock);
                    state->seen.push_back(entry);
                }
                answered.insert(box);
                ClickButton(box, button);
            }
            for (auto it = answered.begin(); it != answered.end();)
                it = IsWindow(*it) ? std::next(it) : answered.erase(it);
            Sleep(10);
        }
    });
}

BoxAnswerer::~BoxAnswerer() {
    state_->stop = true;
    state_->thread->join();
    delete state_;
}

void BoxAnswerer::LeaveAlone(const std::string& caption) {
    Locked guard(state_->lock);
    state_->leftAlone.insert(caption);
}

std::vector<BoxAnswerer::Seen> BoxAnswerer::seen() const {
    Locked guard(state_->lock);
    return state_->seen;
}

// ---- controls of other processes

namespace {

// A block of memory inside the process that owns a window, for messages
// whose pointers must be valid there.
class RemoteBlock {
public:
    RemoteBlock(HWND window, size_t size) : size_(size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               WindowProcessId(window));
        if (process_)
            address_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool valid() const { return address_ != nullptr; }
    char* address() const { return address_; }
    void Write(size_t offset, const void* data, size_t size) {
        SIZE_T done = 0;
        WriteProcessMemory(process_, address_ + offset, data, size, &done);
    }
    void Read(size_t offset, void* data, size_t size) {
        SIZE_T done = 0;
        ReadProcessMemory(process_, address_ + offset, data, size, &done);
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
    size_t size_;
};

}  // namespace

std::string RemoteStatusText(HWND statusBar, int part) {
    RemoteBlock block(statusBar, 4096);
    if (!block.valid()) return "<unreadable>";
    const LRESULT result =
        SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(block.address()));
    const size_t length = LOWORD(result);
    std::string text(length < 4095 ? length : 4095, '\0');
    if (!text.empty()) block.Read(0, &text[0], text.size());
    return text;
}

TreeItemInfo ReadTreeItem(HWND treeView, HTREEITEM item) {
    TreeItemInfo info;
    info.item = item;
    constexpr size_t kText = 1024;
    RemoteBlock block(treeView, sizeof(TVITEMA) + kText);
    if (!block.valid() || !item) return info;
    TVITEMA query = {};
    query.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_CHILDREN;
    query.hItem = item;
    query.stateMask = 0xFFFF;
    query.pszText = block.address() + sizeof(TVITEMA);
    query.cchTextMax = kText;
    block.Write(0, &query, sizeof(query));
    char zero = 0;
    block.Write(sizeof(TVITEMA), &zero, 1);
    SendMessageA(treeView, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.address()));
    TVITEMA answer = {};
    block.Read(0, &answer, sizeof(answer));
    char text[kText] = {};
    block.Read(sizeof(TVITEMA), text, kText - 1);
    info.text = text;
    info.state = answer.state;
    info.param = answer.lParam;
    info.image = answer.iImage;
    info.children = answer.cChildren;
    return info;
}

HTREEITEM TreeRoot(HWND treeView) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(treeView, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM TreeChild(HWND treeView, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(treeView, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM TreeNext(HWND treeView, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(treeView, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

std::vector<TreeItemInfo> TreeChildren(HWND treeView, HTREEITEM item) {
    std::vector<TreeItemInfo> items;
    for (HTREEITEM i = item ? TreeChild(treeView, item) : TreeRoot(treeView); i;
         i = TreeNext(treeView, i))
        items.push_back(ReadTreeItem(treeView, i));
    return items;
}

// ---- registry

void DeleteKeyTree(HKEY root, const char* keyPath) {
    SHDeleteKeyA(root, keyPath);
}

bool KeyExists(HKEY root, const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

RegValue ReadValue(HKEY root, const char* keyPath, const char* valueName) {
    RegValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        if (RegQueryValueExA(key, valueName, nullptr, &value.type,
                             reinterpret_cast<BYTE*>(size ? &value.data[0] : nullptr),
                             &size) == ERROR_SUCCESS) {
            value.found = true;
            value.data.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

std::vector<NamedValue> ReadValues(HKEY root, const char* keyPath) {
    std::vector<NamedValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    DWORD count = 0, longestName = 0, largestData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                     &largestData, nullptr, nullptr);
    // Names may take two bytes a character in the ANSI form.
    std::string name(2 * longestName + 2, '\0');
    std::string data(largestData + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        NamedValue value;
        if (RegEnumValueA(key, index, &name[0], &nameLength, nullptr, &value.type,
                          reinterpret_cast<BYTE*>(&data[0]), &dataSize) != ERROR_SUCCESS)
            break;
        value.name.assign(name.data(), nameLength);
        value.data.assign(data.data(), dataSize);
        values.push_back(std::move(value));
    }
    RegCloseKey(key);
    return values;
}

void WriteValue(HKEY root, const char* keyPath, const char* valueName, DWORD type,
                const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteText(HKEY root, const char* keyPath, const char* valueName, const std::string& text) {
    WriteValue(root, keyPath, valueName, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void WriteDword(HKEY root, const char* keyPath, const char* valueName, DWORD value) {
    WriteValue(root, keyPath, valueName, REG_DWORD, &value, sizeof(value));
}

// ---- product state

bool TrayIconExists(HWND window, UINT id) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

namespace {

// TTTOOLINFOA with its pointers as numbers of a given width: a 32-bit test
// reads Wine's explorer, which is 64-bit in a prefix that runs both widths.
template <typename Pointer>
struct ToolRecord {
    UINT cbSize, uFlags;
    Pointer hwnd, uId;
    RECT rect;
    Pointer hinst, lpszText, lParam, lpReserved;
};
static_assert(sizeof(ToolRecord<UINT64>) == 72, "the x86_64 TTTOOLINFOA");
static_assert(sizeof(ToolRecord<UINT_PTR>) == sizeof(TTTOOLINFOA), "this width's TTTOOLINFOA");

// Whether this test is 32-bit and the window's process 64-bit.
bool WiderThanThisTest(HWND window) {
    if (sizeof(void*) == 8) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, WindowProcessId(window));
    BOOL selfEmulated = FALSE, otherEmulated = FALSE;
    const bool known = process && IsWow64Process(GetCurrentProcess(), &selfEmulated) &&
                       IsWow64Process(process, &otherEmulated);
    if (process) CloseHandle(process);
    return known && selfEmulated && !otherEmulated;
}

// The first tool of a tooltip window in a record of type Record: its window
// and its text (copied by the tooltip into a buffer in its own memory).
template <typename Record>
bool FirstTool(HWND tip, HWND* window, std::string* text) {
    constexpr size_t kText = 1100;  // up to 1024 bytes are copied
    RemoteBlock block(tip, sizeof(Record) + kText);
    if (!block.valid()) return false;
    Record tool = {};
    tool.cbSize = sizeof(tool);
    tool.lpszText = reinterpret_cast<UINT_PTR>(block.address() + sizeof(tool));
    block.Write(0, &tool, sizeof(tool));
    const char zero = 0;
    block.Write(sizeof(tool), &zero, 1);
    if (!SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(block.address()))) return false;
    block.Read(0, &tool, sizeof(tool));
    *window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(tool.hwnd));
    char buffer[kText] = {};
    block.Read(sizeof(tool), buffer, kText - 1);
    *text = buffer;
    return true;
}

}  // namespace

std::vector<ShellTrayIcon> ShellTrayIcons() {
    std::vector<ShellTrayIcon> icons;
    for (HWND tip : TopWindows(TOOLTIPS_CLASSA)) {
        ShellTrayIcon icon;
        const bool read = WiderThanThisTest(tip)
                              ? FirstTool<ToolRecord<UINT64>>(tip, &icon.window, &icon.tip)
                              : FirstTool<ToolRecord<UINT_PTR>>(tip, &icon.window, &icon.tip);
        if (!read) continue;
        char className[64] = {};
        GetClassNameA(icon.window, className, sizeof(className));
        if (std::strstr(className, "tray_icon")) icons.push_back(icon);
    }
    return icons;
}

std::vector<COLORREF> ScreenPixels(const RECT& area) {
    static int shots = 0;
    const int width = area.right - area.left, height = area.bottom - area.top;
    const std::string file = std::string(HL_BUILD_DIR) + "/screen-" +
                             std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++shots) + ".ppm";
    char crop[96];
    std::snprintf(crop, sizeof(crop), "%dx%d+%ld+%ld", width, height, area.left, area.top);
    std::vector<COLORREF> pixels;
    if (!StartUnixProgram("/usr/bin/import", std::string("-window root -crop ") + crop + " +repage -depth 8 ppm:" + file))
        return pixels;
    // The picture is written as it is taken: read once it is whole.
    const std::string path = WinPath(file.c_str());
    WaitUntil([&] {
        std::ifstream in(path, std::ios::binary);
        std::string magic;
        int w = 0, h = 0, depth = 0;
        if (!(in >> magic >> w >> h >> depth) || magic != "P6" || depth != 255 || w != width || h != height) return false;
        in.get();
        std::string bytes(static_cast<size_t>(w) * h * 3, '\0');
        if (!in.read(&bytes[0], bytes.size())) return false;
        for (size_t i = 0; i < bytes.size(); i += 3)
            pixels.push_back(RGB(static_cast<BYTE>(bytes[i]), static_cast<BYTE>(bytes[i + 1]),
                                 static_cast<BYTE>(bytes[i + 2])));
        return true;
    });
    DeleteFileA(path.c_str());
    return pixels;
}

namespace {

struct RunningProcess {
    DWORD id;
    DWORD parentId;     // 0 for a program started from outside Wine (by ctest)
    std::string image;  // file name of its program, in lower case
};

std::string LowerFileName(const char* path) {
    std::string name = PathFindFileNameA(path);
    if (!name.empty()) CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

// Every other process of this Wine server (the run's own prefix).
std::vector<RunningProcess> OtherProcesses() {
    std::vector<RunningProcess> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID != GetCurrentProcessId())
            found.push_back({entry.th32ProcessID, entry.th32ParentProcessID,
                             LowerFileName(entry.szExeFile)});
    CloseHandle(snapshot);
    return found;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Programs the tests start, by the build's own file names, and scenario
// children: a test program started by a test program, this one or one that
// has ended. A test program that ctest started (it has no parent inside
// Wine) is a case of its own, never ended from here.
bool IsStartedByTests(const RunningProcess& process, const std::vector<RunningProcess>& all) {
    static const std::vector<std::string> kImages = {
        LowerFileName(HL_HOVERLANE_NT),  LowerFileName(HL_UNINSTALLER),
        LowerFileName(HL_SETUP_NT),      LowerFileName(HL_SAMPLE_MDI),
        LowerFileName(HL_SAMPLE_MDI_V2), LowerFileName(HL_SAMPLE_MDI_NOVERSION),
        LowerFileName(HL_SAMPLE_MDI_LANG0), LowerFileName(HL_SAMPLE_MDI_NOTRANSLATION)};
    for (const std::string& known : kImages)
        if (process.image == known) return true;
    if (!EndsWith(process.image, "_tests.exe") || process.parentId == 0) return false;
    if (process.parentId == GetCurrentProcessId()) return true;
    for (const RunningProcess& other : all)
        if (other.id == process.parentId) return false;  // another case's child
    return true;
}

// Waits until every process has ended and its windows are gone (Wine takes
// a killed program's windows away a moment after the process); terminates
// those still running once graceMs has passed.
void AwaitEnd(const std::vector<DWORD>& ids, DWORD graceMs) {
    std::vector<ScopedHandle> handles;
    for (DWORD id : ids) {
        ScopedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
        if (process) handles.push_back(std::move(process));
    }
    auto allEnded = [&] {
        for (const ScopedHandle& process : handles)
            if (WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) return false;
        return true;
    };
    if (!WaitUntil(allEnded, graceMs)) {
        for (const ScopedHandle& process : handles)
            if (WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0)
                TerminateProcess(process.get(), 255);
        WaitUntil(allEnded);
    }
    handles.clear();
    WaitUntil([&] {
        for (DWORD id : ids)
            if (HasTopWindows(id)) return false;
        return true;
    });
}

}  // namespace

int TerminateProcessesNamed(const char* fileName) {
    const std::string image = LowerFileName(fileName);
    std::vector<DWORD> ids;
    for (const RunningProcess& process : OtherProcesses())
        if (process.image == image) ids.push_back(process.id);
    AwaitEnd(ids, 0);
    return static_cast<int>(ids.size());
}

void CloseAllHoverlanes() {
    const std::string image = LowerFileName(HL_HOVERLANE_NT);
    std::vector<DWORD> ids;
    for (const RunningProcess& process : OtherProcesses())
        if (process.image == image) ids.push_back(process.id);
    for (HWND sync : TopWindows(kSyncClassName)) {
        const DWORD pid = WindowProcessId(sync);
        if (pid == GetCurrentProcessId()) continue;
        // Each instance in order, as setup closes them: it saves its settings.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(sync, WM_DESTROY, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    AwaitEnd(ids, 10000);
}

void EndProductProcesses() {
    CloseAllHoverlanes();
    std::vector<DWORD> ids;
    const std::vector<RunningProcess> running = OtherProcesses();
    for (const RunningProcess& process : running)
        if (IsStartedByTests(process, running)) ids.push_back(process.id);
    AwaitEnd(ids, 0);
}

void ResetProductRegistry() {
    // What the uninstaller removes is every key the programs write.
    for (const InstalledKey& key : kInstalledKeys) DeleteKeyTree(key.root, key.path);
    // And whatever a test made beside it (another product of the maker).
    for (HKEY root : kMakerKeyRoots) DeleteKeyTree(root, kMakerKey);
}

// ---- scenarios

namespace {

std::map<std::string, ScenarioFn>& Scenarios() {
    static std::map<std::string, ScenarioFn> scenarios;
    return scenarios;
}

}  // namespace

ScenarioRegistrar::ScenarioRegistrar(const char* name, ScenarioFn fn) {
    Scenarios()[name] = fn;
}

Process StartScenario(const std::string& name, const std::string& args) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "--scenario=" + name;
    if (!args.empty()) commandLine += " " + args;
    return Process::Start(self, commandLine);
}

bool RunScenarioFromCommandLine(int argc, char** argv, int* exitCode) {
    const std::string prefix = "--scenario=";
    if (argc < 2 || std::string(argv[1]).rfind(prefix, 0) != 0) return false;
    const std::string name = std::string(argv[1]).substr(prefix.size());
    std::string args;
    for (int i = 2; i < argc; ++i) {
        if (!args.empty()) args += " ";
        args += argv[i];
    }
    auto it = Scenarios().find(name);
    *exitCode = it == Scenarios().end() ? 254 : it->second(args);
    return true;
}

}  // namespace harness
