// Test harness for driving real Windows programs under Wine: starting
// processes, waiting for windows and message boxes, answering them, reading
// controls of other processes and resetting the registry between tests.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "exit_codes.h"
#include "sample_commands.h"
#include "test_paths.h"

namespace harness {

// ---- the variant under test
// The run's prefix makes Wine report one Windows to every program: the 95
// family's variant runs where it reports platform id 1 (Windows 98), the NT
// family's elsewhere. Each test program is built for the variant's width.
bool Family95();
// Of a program of each family, the variant's own.
const char* OfVariant(const char* nt, const char* family95);
// The programs a case runs as "the product" (a case about one family names
// that family's, HL_HOVERLANE_NT say).
#define HL_HOVERLANE ::harness::OfVariant(HL_HOVERLANE_NT, HL_HOVERLANE_95)
#define HL_SETUP ::harness::OfVariant(HL_SETUP_NT, HL_SETUP_95)
// A silent uninstall through hoverlane that removed everything: the 95
// family cannot move the running file of the launcher that waits for its
// copy, so that file goes when Windows restarts (3010).
inline DWORD SilentUninstallSuccess() { return Family95() ? kExitRestartNeeded : kExitSuccess; }
// A case that cannot hold for the 95 family under Wine is skipped there
// only, saying why.
#define HL_SKIP_FOR_95_FAMILY(why) \
    if (::harness::Family95()) GTEST_SKIP() << "95 family: " << (why)
// Why a case that needs another program's file cannot hold for the 95 family
// here.
constexpr char kNoModuleOfOtherProcesses[] =
    "GetWindowModuleFileNameA gives nothing for another process's window under Wine "
    "(as on NT), so the 95 family reads no program's file";

// Makes Wine report a Windows version ("win98", "winxp") to every program of
// that file name while it lives.
class WineVersionFor {
public:
    WineVersionFor(const std::string& exeName, const char* version);
    ~WineVersionFor();
    WineVersionFor(const WineVersionFor&) = delete;
    WineVersionFor& operator=(const WineVersionFor&) = delete;

private:
    std::string key_;
};

// Makes GetProcAddress in this process find no function of that name from
// now on, as on a Windows that lacks it (Wine never hides one).
void HideSystemFunction(const char* name);

// Generous bound for every wait: the machine may be slow and busy, so tests
// wait for a condition, never for a fixed time.
constexpr DWORD kWait = 20000;

// "Z:\..." form of a path of the build machine.
std::string WinPath(const char* unixPath);

// Pumps this thread's messages and polls cond every few milliseconds until
// it is true or timeoutMs has passed. Returns the last value of cond.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = kWait);
// Pumps this thread's messages for about ms milliseconds.
void PumpFor(DWORD ms);

// Pumps this thread's messages until the timer timerId of window (a window
// of this thread) has gone off count more times. A check that something
// does NOT happen waits for the product's own ticks this way: on a slow
// machine a fixed time could pass without a single tick.
bool WaitForTicks(HWND window, UINT_PTR timerId, int count, DWORD timeoutMs = kWait);
// How many times that timer has gone off in this thread's pumps so far.
long TicksDispatched(HWND window, UINT_PTR timerId);

// Starts a program of the build machine itself (xdotool, say): Wine runs
// it, but hands back no handle to wait on, so the caller waits for its
// effect instead.
bool StartUnixProgram(const char* unixPath, const std::string& args);

// A program started by a test; terminated on destruction if still running.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    // exe is a Windows path; args is the text after the program name
    // (passed unchanged as the program's command line). A detached program,
    // and whatever it starts in turn, gets no handle to this test's output:
    // ctest waits for everyone holding that open, so a program that outlives
    // the test (a shell window it opened, say) must not hold it. workingDir,
    // when given, is the program's current folder.
    static Process Start(const std::string& exe, const std::string& args = "",
                         bool detached = false, const std::string& workingDir = "");
    // The same with texts the ANSI code page may lack (CreateProcessW).
    static Process Start(const std::wstring& exe, const std::wstring& args);
    // A process started by some other program, known by its id; an empty
    // Process when it cannot be opened.
    static Process Open(DWORD pid);

    bool valid() const { return handle_ != nullptr; }
    DWORD id() const { return id_; }
    HANDLE handle() const { return handle_; }
    // True once the process has ended (waits at most timeoutMs).
    bool WaitExit(DWORD timeoutMs = kWait);
    bool Running() const;
    DWORD ExitCode() const;
    void Terminate();

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Top-level window of the class (and title, when given) owned by the process
// pid (any process for 0); none when there is none.
HWND FindTopWindow(const char* className, const char* title = nullptr, DWORD pid = 0);
HWND WaitForTopWindow(const char* className, const char* title = nullptr, DWORD pid = 0,
                      DWORD timeoutMs = kWait);
// Every top-level window of the class (any for nullptr) owned by pid (any
// for 0).
std::vector<HWND> TopWindows(const char* className, DWORD pid = 0);
DWORD WindowProcessId(HWND window);
// A window's rectangle in client coordinates of reference.
RECT RectIn(HWND reference, HWND window);
// The GUI state (focus, capture, menu and move/size flags) of the thread
// that owns window, of any process.
GUITHREADINFO GuiState(HWND window);
// Whether any top-level window of the process still exists.
bool HasTopWindows(DWORD pid);
// For failure messages: the process's state and its top-level windows
// (class, title, visibility, a message box's text).
std::string DescribeProcess(const Process& process);

// Message boxes and dialogs: a "#32770" window with that caption, of the
// process pid (any for 0).
HWND WaitForDialog(const char* caption, DWORD pid = 0, DWORD timeoutMs = kWait);
// The message text of a message box.
std::string BoxText(HWND box);
std::string WindowText(HWND window);
// Presses a button of a dialog as a click would, without focus or pointer.
void ClickButton(HWND dialog, int buttonId);
// Waits for a box with that caption, returns its text and presses buttonId.
std::string AnswerBox(const char* caption, int buttonId, DWORD pid = 0, DWORD timeoutMs = kWait);

struct Box {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
// The next visible box or dialog of the process pid, whatever its caption;
// an empty Box when none shows within the time.
Box WaitForAnyDialog(DWORD pid, DWORD timeoutMs = kWait);
// Waits for the next box of pid, presses buttonId and waits until the box is
// gone. Returns what it showed, so that a test can check a whole sequence.
Box AnswerNextBox(DWORD pid, int buttonId, DWORD timeoutMs = kWait);

// Message boxes shown by this very process (its own GUI thread blocked in
// MessageBox): a watcher thread answers them in order of appearance.
class BoxAnswerer {
public:
    struct Seen {
        std::string caption;
        std::string text;
        HWND owner;
    };
    // Answers every box of this process with the button for its caption from
    // the table; an unlisted box gets the first of OK, No and Cancel it has.
    explicit BoxAnswerer(std::vector<std::pair<std::string, int>> buttons = {});
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    // Boxes answered so far, in order.
    std::vector<Seen> seen() const;
    // Dialogs with this caption are the test's own to work: neither answered
    // nor recorded.
    void LeaveAlone(const std::string& caption);

private:
    struct State;
    State* state_;
};

// Text of a status bar part of another process (SB_GETTEXTA through memory
// of that process, since Wine does not carry such pointers across).
std::string RemoteStatusText(HWND statusBar, int part);

struct TreeItemInfo {
    HTREEITEM item = nullptr;
    std::string text;
    UINT state = 0;
    LPARAM param = 0;
    int image = -1;
    int children = 0;
};
// One item of a tree view of any process (this one included).
TreeItemInfo ReadTreeItem(HWND treeView, HTREEITEM item);
HTREEITEM TreeRoot(HWND treeView);
HTREEITEM TreeChild(HWND treeView, HTREEITEM item);
HTREEITEM TreeNext(HWND treeView, HTREEITEM item);
// Items directly below item (top-level items for nullptr), in order.
std::vector<TreeItemInfo> TreeChildren(HWND treeView, HTREEITEM item);

// Registry, read and written from the test process (the same Wine prefix).
void DeleteKeyTree(HKEY root, const char* keyPath);
bool KeyExists(HKEY root, const char* keyPath);
struct RegValue {
    bool found = false;
    DWORD type = 0;
    std::string data;  // raw bytes
};
RegValue ReadValue(HKEY root, const char* keyPath, const char* valueName);
struct NamedValue {
    std::string name;  // empty for the key's unnamed value
    DWORD type = 0;
    std::string data;  // raw bytes
    bool operator==(const NamedValue& other) const {
        return name == other.name && type == other.type && data == other.data;
    }
};
// Every value of the key, in the registry's enumeration order; none when the
// key is missing.
std::vector<NamedValue> ReadValues(HKEY root, const char* keyPath);
void WriteValue(HKEY root, const char* keyPath, const char* valueName, DWORD type,
                const void* data, DWORD size);
void WriteText(HKEY root, const char* keyPath, const char* valueName, const std::string& text);
void WriteDword(HKEY root, const char* keyPath, const char* valueName, DWORD value);

// Whether the tray holds the icon (window, id): a modification that changes
// nothing succeeds only for an existing icon.
bool TrayIconExists(HWND window, UINT id);
// The tray's icons as Wine's shell shows them: it keeps their pictures and
// tips in its own process, each icon a window with a tooltip of its own.
struct ShellTrayIcon {
    HWND window = nullptr;
    std::string tip;
};
std::vector<ShellTrayIcon> ShellTrayIcons();
// The screen's pixels in the rectangle, row by row, as the X server shows
// them (GDI under Wine cannot read another process's windows); none when
// the picture cannot be taken.
std::vector<COLORREF> ScreenPixels(const RECT& area);

// Ends every process whose program file has that name (case-insensitive),
// for programs that other programs start. Returns how many were ended.
int TerminateProcessesNamed(const char* fileName);

// Ends every running hoverlane in order (WM_DESTROY to its sync window, as
// setup does), waits for each process to end and terminates what does not
// within the bound. Answers nothing else.
void CloseAllHoverlanes();
// Before and after every case: no program a test may start (hoverlane,
// setup, the uninstaller, the sample programs, this program's scenario
// children and orphaned ones) is left running; a test program that ctest
// started is never touched. Hoverlanes are closed in order first; the rest
// are terminated. Returns only once every such process has ended and its
// windows are gone (or the generous bound has passed).
void EndProductProcesses();
// Removes every registry key the programs write, in both hives.
void ResetProductRegistry();

// Runs a scenario of this very test program in a child process: the child
// calls the function registered under that name and exits with its result.
Process StartScenario(const std::string& name, const std::string& args = "");
using ScenarioFn = int (*)(const std::string& args);
struct ScenarioRegistrar {
    ScenarioRegistrar(const char* name, ScenarioFn fn);
};
#define HL_SCENARIO(name)                                                     \
    static int name##_Scenario(const std::string& args);                      \
    static ::harness::ScenarioRegistrar name##_Registrar(#name, name##_Scenario); \
    static int name##_Scenario([[maybe_unused]] const std::string& args)

// Runs the scenario named on the command line, if any; returns true and
// sets exitCode when one ran. Called by the test programs' main.
bool RunScenarioFromCommandLine(int argc, char** argv, int* exitCode);

}  // namespace harness
