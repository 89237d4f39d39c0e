// What one monitoring tick costs in its common cases, against the two
// window-system calls every tick makes anyway; how many heap allocations
// ticks make; and how long a document waits under the pointer before it is
// on top with the delay at 100 ms. Prints figures; it asserts nothing.
//
// hoverlane's main window runs inside this process, as in the tests; the
// monitored sample program and an unmonitored one are separate processes.
// A run takes about ten minutes under Wine: most of it is the 100,000
// activating ticks whose allocations are counted.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app_state.h"
#include "icon_cache.h"
#include "shell_state.h"
#include "discovery.h"
#include "bench_support.h"
#include "harness.h"
#include "main_window.h"
#include "monitor.h"
#include "settings.h"
#include "window_node.h"

namespace {

constexpr int kTicks = 100000;
constexpr int kTimedTicks = 20000;
constexpr int kActivations = 5000;
constexpr int kMoves = 100;
constexpr DWORD kDelay = 100;

struct Program {
    harness::Process process;
    HWND frame = nullptr;
    HWND client = nullptr;
    HWND a = nullptr;
    HWND b = nullptr;
};

Program StartProgram(const char* exe, const std::string& title, const std::string& at) {
    Program program;
    program.process = harness::Process::Start(
        harness::WinPath(exe), "/frame:" + title + " /at:" + at + " A@10,10,200,150 B@230,10,200,150");
    program.frame = harness::WaitForTopWindow(SAMPLE_FRAME_CLASS, title.c_str(), program.process.id());
    harness::WaitUntil([&] {
        program.client = FindWindowExA(program.frame, nullptr, "MDIClient", nullptr);
        program.a = FindWindowExA(program.client, nullptr, SAMPLE_DOC_CLASS, "A");
        program.b = FindWindowExA(program.client, nullptr, SAMPLE_DOC_CLASS, "B");
        return program.a && program.b;
    });
    return program;
}

// The pointer to the middle of a window.
void PointAt(HWND window, int shift = 0) {
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2 + shift, (r.top + r.bottom) / 2 + shift);
}

void Tick() {
    MonitorTick(nullptr, 0, 0, 0);
}

// Latency from the pointer's arrival over a non-top document to that
// document being on top, with the real timer at kDelay. The moves come at
// every phase of the timer: each waits a different time after the last.
bench::Figures Latency(const Program& editor) {
    SetTimer(MainWindow, kMonitorTimerId, kDelay, MonitorTick);
    std::vector<double> samples;
    for (int i = 0; i < kMoves; ++i) {
        harness::PumpFor((i * 37) % kDelay);
        const HWND next = GetTopWindow(editor.client) == editor.a ? editor.b : editor.a;
        const double start = bench::NowMicros();
        PointAt(next, i % 7);
        while (GetTopWindow(editor.client) != next) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            if (bench::NowMicros() - start > 10e6) break;
        }
        samples.push_back(bench::NowMicros() - start);
    }
    KillTimer(MainWindow, kMonitorTimerId);
    return bench::Summarize(samples);
}

}  // namespace

int main() {
    Program editor = StartProgram(HL_SAMPLE_MDI, "Bench", "360,60,760,400");
    Program other = StartProgram(HL_SAMPLE_MDI_V2, "Other", "360,500,760,400");
    if (!editor.a || !other.a) {
        std::printf("the sample programs did not come up\n");
        return 1;
    }
    harness::WriteDword(HKEY_CURRENT_USER, kProductKey, kTimerValue, kDelay);
    Instance = GetModuleHandleA(nullptr);
    InstallDirectory = "\\";
    if (!CreateMainWindow(Instance, SW_SHOWNORMAL)) {
        std::printf("the main window did not come up\n");
        return 1;
    }
    MoveWindow(MainWindow, 10, 10, 320, 220, TRUE);
    // The bench drives the ticks itself.
    KillTimer(MainWindow, kMonitorTimerId);
    auto found = RootNode->children.find(editor.frame);
    if (found == RootNode->children.end()) {
        std::printf("the sample program is not in the tree\n");
        return 1;
    }
    SendMessageA(TreeView, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(found->second->treeItem));
    auto nothing = [] {};

    std::printf("Monitoring tick, one monitored program with 2 documents, one unmonitored\n");
    POINT cursor;
    const bench::Figures floor = bench::Time(kTimedTicks, nothing, [&] {
        GetCursorPos(&cursor);
        RealChildWindowFromPoint(GetDesktopWindow(), cursor);
    });
    bench::Print("floor: GetCursorPos + RealChildWindowFromPoint", floor);

    struct Case {
        const char* name;
        HWND pointAt;
        bool paused;
    };
    // B is on top of the monitored program after this.
    PointAt(editor.b);
    Tick();
    const Case cases[] = {
        {"paused", editor.a, true},
        {"over an unmonitored program", other.a, false},
        {"over the monitored program's top document", editor.b, false},
    };
    for (const Case& c : cases) {
        PointAt(c.pointAt, 3);
        MonitoringPaused = c.paused;
        const bench::Figures f = bench::Time(kTimedTicks, nothing, Tick);
        char line[160];
        std::snprintf(line, sizeof(line), "tick %s (x%.1f of floor)", c.name, f.median / floor.median);
        bench::Print(line, f);
        const long long heap = bench::CountAllocations(kTicks, nothing, Tick);
        std::printf("  heap allocations over %d such ticks: %lld\n", kTicks, heap);
        MonitoringPaused = false;
    }

    // Each tick activates: the pointer goes to the other document between
    // ticks, untimed.
    int turn = 0;
    auto moveToOther = [&] {
        ++turn;
        PointAt(turn % 2 ? editor.a : editor.b, turn % 5);
    };
    for (int inSight = 0; inSight < 2; ++inSight) {
        AlwaysInSight = inSight;
        const bench::Figures f = bench::Time(kActivations, moveToOther, Tick);
        char line[160];
        std::snprintf(line, sizeof(line), "tick that activates, Always In Sight %s (x%.1f)",
                      inSight ? "on" : "off", f.median / floor.median);
        bench::Print(line, f);
        const int ticks = inSight ? kActivations : kTicks;
        const long long heap = bench::CountAllocations(ticks, moveToOther, Tick);
        std::printf("  heap allocations over %d activating ticks: %lld\n", ticks, heap);
    }
    AlwaysInSight = 0;

    const bench::Figures latency = Latency(editor);
    std::printf("latency at %lu ms over %d moves: median %.1f ms  p90 %.1f ms  max %.1f ms\n",
                kDelay, kMoves, latency.median / 1000, latency.p90 / 1000, latency.max / 1000);
    DestroyWindow(MainWindow);
    return 0;
}
