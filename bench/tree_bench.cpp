// What one refresh of the window tree costs, against a bare walk over the
// same desktop, whether memory grows across many refreshes, and whether the
// tree's image list grows with programs started again and again. Prints
// figures; it asserts nothing.
//
//   tree_bench [/refreshes:N] [/starts:N]
//
// The desktop is filled by this program started again as a host (a
// scenario of the test harness), which makes N top-level windows, and by the
// sample MDI program with D documents, whose item is expanded. hoverlane's
// main window runs inside this process, as in the tests.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_state.h"
#include "icon_cache.h"
#include "shell_state.h"
#include "discovery.h"
#include "harness.h"
#include "main_window.h"
#include "monitor.h"
#include "plain_discovery.h"
#include "window_node.h"

namespace {

const char kHostReadyTitle[] = "tree_bench host ready";

// ---- the host: many top-level windows of one process

LRESULT CALLBACK HostFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND client = FindWindowExA(window, nullptr, "MDIClient", nullptr);
    return client ? DefFrameProcA(window, client, message, wParam, lParam)
                  : DefWindowProcA(window, message, wParam, lParam);
}

// Most windows are ordinary dialogs-to-be: a caption and four controls. The
// rest are captioned windows without controls, caption-less pop-ups (as
// tool tips are), hidden windows, and every hundredth a small MDI program.
void MakeHostWindow(int i) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const std::string title = "Window " + std::to_string(i);
    const int x = 300 + (i * 7) % 600, y = 150 + (i * 11) % 500;
    if (i % 100 == 99) {
        HWND frame = CreateWindowExA(0, "BenchFrame", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     x, y, 300, 200, nullptr, nullptr, instance, nullptr);
        CLIENTCREATESTRUCT create = {};
        create.idFirstChild = 100;
        HWND client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                      0, 0, 280, 160, frame, nullptr, instance, &create);
        for (int d = 0; d < 2; ++d)
            CreateMDIWindowA("BenchDoc", ("Doc " + std::to_string(d)).c_str(), WS_VISIBLE, 10 * d,
                             10 * d, 150, 100, client, instance, 0);
        return;
    }
    switch (i % 10) {
    case 7:
        CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 200, 120,
                        nullptr, nullptr, instance, nullptr);
        return;
    case 8:
        CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", title.c_str(), WS_POPUP | WS_BORDER | WS_VISIBLE, x,
                        y, 120, 20, nullptr, nullptr, instance, nullptr);
        return;
    default:
        break;
    }
    const DWORD visible = (i % 10 == 9) ? 0 : WS_VISIBLE;
    HWND window = CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | visible, x, y, 260,
                                  160, nullptr, nullptr, instance, nullptr);
    const char* classes[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX"};
    for (int c = 0; c < 4; ++c)
        CreateWindowExA(0, classes[c], "Control", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10 + 30 * c, 200,
                        24, window, nullptr, instance, nullptr);
}

HL_SCENARIO(BenchHost) {
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = HostFrameProc;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.lpszClassName = "BenchFrame";
    RegisterClassA(&frameClass);
    WNDCLASSA docClass = frameClass;
    docClass.lpfnWndProc = DefMDIChildProcA;
    docClass.lpszClassName = "BenchDoc";
    RegisterClassA(&docClass);
    const int windows = std::atoi(args.c_str());
    for (int i = 0; i < windows; ++i) MakeHostWindow(i);
    CreateWindowExA(0, "STATIC", kHostReadyTitle, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    GetModuleHandleA(nullptr), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

// ---- measuring

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds one call of work takes.
template <typename Work>
double Microseconds(Work work) {
    const double start = Now();
    work();
    return (Now() - start) * 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

BOOL CALLBACK CountWindow(HWND, LPARAM context) {
    ++*reinterpret_cast<int*>(context);
    return TRUE;
}

// The direct children of a window, each looked at once and nothing done.
int WalkChildren(HWND parent) {
    int count = 0;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ++count;
    return count;
}

struct Memory {
    SIZE_T workingSet;
    SIZE_T privateBytes;
};

unsigned long Kilobytes(SIZE_T bytes) {
    return static_cast<unsigned long>(bytes / 1024);
}

Memory MeasureMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return {counters.WorkingSetSize, counters.PagefileUsage};
}

harness::Process StartHost(int windows) {
    harness::Process host = harness::StartScenario("BenchHost", std::to_string(windows));
    if (!harness::WaitForTopWindow("STATIC", kHostReadyTitle, host.id(), 120000)) {
        std::printf("the host with %d windows did not start\n", windows);
        host.Terminate();
    }
    return host;
}

// hoverlane's main window, filled by its first discovery, with the sample
// program's item expanded; the sample's node.
WindowNode* OpenMainWindow(HWND sampleFrame) {
    CreateMainWindow(Instance, SW_SHOWNORMAL);
    harness::PumpFor(0);
    auto found = RootNode->children.find(sampleFrame);
    if (found == RootNode->children.end()) return nullptr;
    SendMessageA(TreeView, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(found->second->treeItem));
    return found->second.get();
}

void CloseMainWindow() {
    DestroyWindow(MainWindow);
    harness::PumpFor(0);
}

// The sample program with that many documents; its frame, none when it did
// not come up.
HWND StartSample(harness::Process& sample, int documents) {
    sample = harness::Process::Start(harness::WinPath(HL_SAMPLE_MDI),
                                     "/frame:Bench /at:200,100,700,500 /docs:" +
                                         std::to_string(documents));
    // Among 1000 other windows on a busy machine it takes its time.
    constexpr DWORD kStartMs = 120000;
    HWND frame = harness::WaitForTopWindow(SAMPLE_FRAME_CLASS, nullptr, sample.id(), kStartMs);
    // The frame is found while it still makes its MDI client, and its
    // documents open after it shows.
    HWND client = nullptr;
    if (!frame ||
        !harness::WaitUntil([&] { return (client = FindWindowExA(frame, nullptr, "MDIClient", nullptr)) != nullptr; },
                            kStartMs) ||
        !harness::WaitUntil([&] { return WalkChildren(client) >= documents; }, kStartMs)) {
        std::printf("the sample program with %d documents did not start\n", documents);
        return nullptr;
    }
    return frame;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

// The top-level windows whose container a refresh searches afresh each
// time: no program, but captioned, visible, titled and admitted by the
// parent test, so that they may become one at any moment.
std::vector<HWND> SearchedWindows() {
    std::vector<HWND> all, searched;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        if (RootNode->children.count(window)) continue;
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        if (!HasAcceptableStyle(style)) continue;
        if (!ParentAdmits(MayReportParent(style) ? GetParent(window) : nullptr, RootNode->container))
            continue;
        if (HasTitle(window)) searched.push_back(window);
    }
    return searched;
}

void MeasureDesktop(int windows, int documents) {
    harness::Process sampleProcess;
    HWND sampleFrame = StartSample(sampleProcess, documents);
    if (!sampleFrame) return;
    harness::Process host = StartHost(windows);
    if (!host.Running()) return;
    WindowNode* sample = OpenMainWindow(sampleFrame);
    HWND client = FindWindowExA(sampleFrame, nullptr, "MDIClient", nullptr);

    int topLevel = 0, everyWindow = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&topLevel));
    EnumChildWindows(GetDesktopWindow(), CountWindow, reinterpret_cast<LPARAM>(&everyWindow));
    const std::vector<HWND> searched = SearchedWindows();

    // The kinds of walk take turns, so that a busy moment of the machine
    // weighs on all of them alike.
    const int runs = windows >= 1000 || documents >= 400 ? 9 : windows >= 100 || documents >= 100 ? 41 : 101;
    std::vector<double> bare, same, plainWalk, discovery, sampleRefresh, refresh, ratio, ratioBare;
    int ignored = 0;
    for (int run = 0; run < runs; ++run) {
        // The top-level windows and the expanded program's documents.
        bare.push_back(Microseconds([&] {
            EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&ignored));
            ignored += WalkChildren(client);
        }));
        // All a refresh looks at: the same, and inside each window whose
        // container it searches every window.
        same.push_back(Microseconds([&] {
            EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&ignored));
            for (HWND window : searched)
                EnumChildWindows(window, CountWindow, reinterpret_cast<LPARAM>(&ignored));
            ignored += WalkChildren(client);
        }));
        plainWalk.push_back(Microseconds([] { plain::Discover(*RootNode, true); }));
        discovery.push_back(Microseconds(
            [] { EnumWindows(AddChildWindow, reinterpret_cast<LPARAM>(RootNode.get())); }));
        sampleRefresh.push_back(Microseconds([&] {
            if (sample) Refresh(*sample);
        }));
        refresh.push_back(Microseconds([] { Refresh(*RootNode); }));
        ratio.push_back(refresh.back() / same.back());
        ratioBare.push_back(refresh.back() / bare.back());
        harness::PumpFor(0);
    }

    std::printf("%5d %5d %5zu %5zu %4zu %9.0f %9.0f %10.0f %9.0f %8.0f %9.0f %6.1f %6.1f\n",
                topLevel, everyWindow, RootNode->children.size(), sample ? sample->children.size() : 0,
                searched.size(), Median(bare), Median(same), Median(plainWalk), Median(discovery),
                Median(sampleRefresh), Median(refresh), Median(ratio), Median(ratioBare));
    std::fflush(stdout);
    CloseMainWindow();
}

void MeasureMemoryGrowth(int windows, int refreshes, int documents) {
    harness::Process sampleProcess;
    HWND sampleFrame = StartSample(sampleProcess, documents);
    if (!sampleFrame) return;
    harness::Process host = StartHost(windows);
    if (!host.Running()) return;
    OpenMainWindow(sampleFrame);
    // The heap and the caches settle during the first refreshes.
    for (int i = 0; i < 100; ++i) Refresh(*RootNode);
    harness::PumpFor(0);
    const Memory before = MeasureMemory();
    const double start = Now();
    for (int i = 0; i < refreshes; ++i) {
        Refresh(*RootNode);
        if (i % 100 == 0) harness::PumpFor(0);
    }
    const double seconds = Now() - start;
    harness::PumpFor(0);
    const Memory after = MeasureMemory();
    std::printf("\n%d refreshes of an unchanging desktop (%d host windows, the sample expanded), "
                "%.1f s:\n",
                refreshes, windows, seconds);
    std::printf("  working set   %8lu KB before, %8lu KB after\n", Kilobytes(before.workingSet),
                Kilobytes(after.workingSet));
    std::printf("  private bytes %8lu KB before, %8lu KB after\n", Kilobytes(before.privateBytes),
                Kilobytes(after.privateBytes));
    CloseMainWindow();
}

LRESULT CALLBACK StartedFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A program started anew: a frame of a class of its own whose small icon is
// a new icon, holding one captioned child, so that discovery lists it.
struct StartedProgram {
    HWND frame = nullptr;
    HICON icon = nullptr;
    std::string className;
};

StartedProgram StartProgramWithNewIcon(int start) {
    StartedProgram program;
    const int size = GetSystemMetrics(SM_CXSMICON);
    std::vector<BYTE> andMask(size * size / 8, 0), xorMask(size * size / 8, static_cast<BYTE>(start));
    program.icon = CreateIcon(GetModuleHandleA(nullptr), size, size, 1, 1, andMask.data(), xorMask.data());
    program.className = "BenchStart" + std::to_string(start);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = StartedFrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIconSm = program.icon;
    windowClass.lpszClassName = program.className.c_str();
    RegisterClassExA(&windowClass);
    program.frame = CreateWindowExA(0, program.className.c_str(), "Started", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    600, 400, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "STATIC", "Document", WS_CHILD | WS_CAPTION | WS_VISIBLE, 10, 10, 150, 100,
                    program.frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    return program;
}

void EndProgram(const StartedProgram& program) {
    DestroyWindow(program.frame);
    UnregisterClassA(program.className.c_str(), GetModuleHandleA(nullptr));
    DestroyIcon(program.icon);
}

// Programs that make a new icon at every start, started and ended one after
// the other while the tree follows them: the tree's image list keeps the
// images of the icons shown at once, not one per start.
void MeasureImageListOverStarts(int starts) {
    CreateMainWindow(Instance, SW_SHOWNORMAL);
    harness::PumpFor(0);
    const int before = ImageList_GetImageCount(TreeImageList.get());
    int listed = 0;
    for (int start = 1; start <= starts; ++start) {
        const StartedProgram program = StartProgramWithNewIcon(start);
        Refresh(*RootNode);
        if (RootNode->children.count(program.frame)) ++listed;
        EndProgram(program);
        Refresh(*RootNode);
        if (start % 100 == 0) harness::PumpFor(0);
    }
    std::printf("\n%d starts of a program with a new icon each time (%d listed in the tree):\n", starts,
                listed);
    std::printf("  images in the tree's image list: %d before, %d after\n", before,
                ImageList_GetImageCount(TreeImageList.get()));
    CloseMainWindow();
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    if (harness::RunScenarioFromCommandLine(argc, argv, &exitCode)) return exitCode;
    int refreshes = 10000;
    int starts = 2000;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind("/refreshes:", 0) == 0) refreshes = std::atoi(argv[i] + 11);
        if (std::string(argv[i]).rfind("/starts:", 0) == 0) starts = std::atoi(argv[i] + 8);
    }
    Instance = GetModuleHandleA(nullptr);
    InstallDirectory = "\\";
    MonitoringPaused = true;

    std::printf(
        "Median microseconds of one call; ratios are medians of refresh / a bare walk, run by run.\n"
        "top: windows EnumWindows lists; all: every window on the desktop; progs/docs: nodes below\n"
        "the root and below the sample program (expanded); srch: top-level windows that are no\n"
        "program but pass the cheap tests, so that a refresh searches them for a container.\n"
        "bare: EnumWindows doing nothing and the sample's documents walked with GetWindow;\n"
        "same: bare, and EnumChildWindows doing nothing inside each searched window, that is\n"
        "every window a refresh looks at; plain disc: the walk over every window with the\n"
        "acceptance test as first written; discovery: the root's own walk (every program known);\n"
        "sample: one Refresh of the sample's node (its documents); refresh: one Refresh of the\n"
        "root, all of it.\n\n");
    std::printf("%5s %5s %5s %5s %4s %9s %9s %10s %9s %8s %9s %6s %6s\n", "top", "all", "progs", "docs",
                "srch", "bare", "same", "plain disc", "discovery", "sample", "refresh", "/same",
                "/bare");
    for (int windows : {10, 100, 1000}) MeasureDesktop(windows, 50);
    for (int documents : {100, 400}) MeasureDesktop(10, documents);
    MeasureMemoryGrowth(100, refreshes, 50);
    MeasureImageListOverStarts(starts);
    return 0;
}
