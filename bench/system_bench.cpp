// What hoverlane costs the whole system while it just runs: its main window
// shown, a program of 100 documents listed with its item expanded, and then
// the same program monitored with the pointer resting on its top document.
// The CPU time of hoverlane, that program and the window server over 20 s
// is set beside that of a bare poller (the tick's two window-system calls
// ten times a second, run by this program itself) with the same program and
// server over the same span, in the same run. Prints figures; asserts
// nothing.
//
//   system_bench [/seconds:N]
//
// Under Wine the window server is the Linux process wineserver of this
// prefix; its time is read from /proc through drive Z:.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "harness.h"
#include "registry_layout.h"

namespace {

constexpr int kDocuments = 100;
constexpr DWORD kTickMs = 100;  // the shortest delay, the poller's period
const char kFrameTitle[] = "System";
// Where no window lies: the tick and the poller look there and find no
// program.
constexpr POINT kRestingPoint = {1270, 1015};

std::string ReadUnixFile(const std::string& path) {
    const std::string windowsPath = "Z:" + path;
    HANDLE file = CreateFileA(windowsPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

// The value of a NUL-separated /proc list (environ) entry, or whether a
// cmdline holds a text.
std::string EnvironmentValue(const std::string& environment, const std::string& name) {
    const std::string wanted = name + "=";
    for (size_t at = 0; at < environment.size(); at += std::strlen(environment.c_str() + at) + 1)
        if (environment.compare(at, wanted.size(), wanted) == 0)
            return std::string(environment.c_str() + at + wanted.size());
    return std::string();
}

// The Linux process of this Wine prefix whose command line holds text, the
// wineserver for "wineserver"; 0 when there is none. Wine shows a program's
// Windows command line as the process's own.
int FindUnixProcess(const std::string& text) {
    const std::string prefix = EnvironmentValue(ReadUnixFile("/proc/self/environ"), "WINEPREFIX");
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int found = 0;
    do {
        const int pid = std::atoi(entry.cFileName);
        if (pid <= 0) continue;
        const std::string base = "/proc/" + std::to_string(pid);
        std::string commandLine = ReadUnixFile(base + "/cmdline");
        for (char& c : commandLine)
            if (c == '\0') c = ' ';
        if (commandLine.find(text) == std::string::npos) continue;
        if (EnvironmentValue(ReadUnixFile(base + "/environ"), "WINEPREFIX") == prefix) found = pid;
    } while (!found && FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

// utime + stime of a Linux process, in milliseconds.
double UnixProcessCpu(int pid) {
    if (pid <= 0) return 0;
    const std::string stat = ReadUnixFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t end = stat.rfind(')');
    if (end == std::string::npos) return 0;
    // After the name: state is field 3, utime 14 and stime 15.
    const char* p = stat.c_str() + end + 2;
    unsigned long long utime = 0, stime = 0;
    for (int field = 3; field <= 15 && *p; ++field) {
        if (field == 14) utime = std::strtoull(p, nullptr, 10);
        if (field == 15) stime = std::strtoull(p, nullptr, 10);
        p = std::strchr(p, ' ');
        if (!p) break;
        ++p;
    }
    return static_cast<double>(utime + stime) * 10.0;  // Linux counts in hundredths
}

struct Span {
    double own;
    double program;
    double server;
    double total() const { return own + program + server; }
};

// The CPU of the measured process, the program and the server (Linux
// process ids) while work runs. Wine's GetProcessTimes gives the caller's
// times whatever the handle, so all come from /proc.
template <typename Work>
Span Measure(int measured, int program, int server, Work work) {
    const Span before = {UnixProcessCpu(measured), UnixProcessCpu(program), UnixProcessCpu(server)};
    work();
    const Span after = {UnixProcessCpu(measured), UnixProcessCpu(program), UnixProcessCpu(server)};
    return {after.own - before.own, after.program - before.program, after.server - before.server};
}

HWND DesktopWindow;

void CALLBACK PollTick(HWND, UINT, UINT_PTR, DWORD) {
    POINT at;
    if (GetCursorPos(&at)) RealChildWindowFromPoint(DesktopWindow, at);
}

// The bare poller, on a timer as hoverlane's tick is.
void Poll(DWORD milliseconds) {
    DesktopWindow = GetDesktopWindow();
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, PollTick);
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - (GetTickCount() - start),
                                  QS_ALLINPUT);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    KillTimer(nullptr, timer);
}

// hoverlane with its main window shown and the program's item expanded;
// tree and item are hoverlane's tree view and that item.
harness::Process StartHoverlane(HWND& tree, HTREEITEM& item) {
    harness::Process app = harness::Process::Start(harness::WinPath(HL_HOVERLANE_NT));
    HWND main = harness::WaitForTopWindow("HOVERLANE", "Hoverlane", app.id());
    tree = main ? FindWindowExA(main, nullptr, "SysTreeView32", nullptr) : nullptr;
    item = nullptr;
    harness::WaitUntil([&] {
        for (const auto& child : harness::TreeChildren(tree, harness::TreeRoot(tree)))
            if (child.text == kFrameTitle) item = child.item;
        return item != nullptr;
    });
    if (!item) {
        std::printf("hoverlane did not list the program\n");
        app.Terminate();
        return app;
    }
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    if (!harness::WaitUntil([&] { return harness::TreeChildren(tree, item).size() == kDocuments; })) {
        std::printf("hoverlane did not list the documents\n");
        app.Terminate();
    }
    return app;
}

void PrintRow(const char* what, const Span& span) {
    std::printf("%-10s %10.0f %10.0f %10.0f %10.0f\n", what, span.own, span.program, span.server,
                span.total());
}

}  // namespace

int main(int argc, char** argv) {
    DWORD seconds = 20;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("/seconds:", 0) == 0) seconds = std::atoi(argv[i] + 9);
    const DWORD span = seconds * 1000;

    harness::Process program = harness::Process::Start(
        harness::WinPath(HL_SAMPLE_MDI), std::string("/frame:") + kFrameTitle +
                                             " /at:200,100,700,500 /docs:" + std::to_string(kDocuments));
    HWND frame = harness::WaitForTopWindow(SAMPLE_FRAME_CLASS, kFrameTitle, program.id());
    HWND client = frame ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
    auto documents = [client] {
        int count = 0;
        for (HWND w = GetWindow(client, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ++count;
        return count;
    };
    if (!client || !harness::WaitUntil([&] { return documents() >= kDocuments; }, 120000)) {
        std::printf("the sample program did not start\n");
        return 1;
    }
    SetCursorPos(kRestingPoint.x, kRestingPoint.y);
    harness::WriteDword(HKEY_CURRENT_USER, kProductKey, kTimerValue, kTickMs);
    const int self = std::atoi(ReadUnixFile("/proc/self/stat").c_str());
    const int programPid = FindUnixProcess(std::string("sample_mdi.exe /frame:") + kFrameTitle);
    const int server = FindUnixProcess("wineserver");
    if (!self || !programPid || !server) {
        std::printf("the processes were not found in /proc: self %d, program %d, server %d\n", self,
                    programPid, server);
        return 1;
    }

    // Both measured the same way: a moment to settle first, then the span.
    Sleep(2000);
    const Span poller = Measure(self, programPid, server, [&] { Poll(span); });

    HWND tree = nullptr;
    HTREEITEM item = nullptr;
    harness::Process app = StartHoverlane(tree, item);
    const int hoverlanePid = app.Running() ? FindUnixProcess("hoverlane.exe") : 0;
    if (!hoverlanePid) return 1;
    Sleep(2000);
    const Span hoverlane = Measure(hoverlanePid, programPid, server, [&] { Sleep(span); });

    // The program monitored, the pointer resting on its top document: every
    // tick looks into the program and finds nothing to do.
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    RECT top = {};
    GetWindowRect(GetTopWindow(client), &top);
    SetCursorPos((top.left + top.right) / 2, (top.top + top.bottom) / 2);
    Sleep(2000);
    const Span resting = Measure(hoverlanePid, programPid, server, [&] { Sleep(span); });
    app.Terminate();

    std::printf("Milliseconds of CPU over %lu s: the program is the sample MDI program with %d\n"
                "documents, the server the wineserver of this prefix. The poller makes\n"
                "GetCursorPos and RealChildWindowFromPoint ten times a second; hoverlane shows\n"
                "its main window with the program's item expanded, ticking every %lu ms;\n"
                "resting, it monitors the program with the pointer on its top document.\n\n",
                static_cast<unsigned long>(seconds), kDocuments, static_cast<unsigned long>(kTickMs));
    std::printf("%-10s %10s %10s %10s %10s\n", "", "own", "program", "server", "total");
    PrintRow("poller", poller);
    PrintRow("hoverlane", hoverlane);
    PrintRow("resting", resting);
    const double bare = poller.total() > 0 ? poller.total() : 1;
    std::printf("\nratio of the totals: %.2f listed, %.2f resting\n", hoverlane.total() / bare,
                resting.total() / bare);
    return 0;
}
