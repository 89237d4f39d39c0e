// Cost and heap use of KeepInSight on the sample program's real windows.
// Prints figures; run it under Wine on a display, as the tests run:
//   wine build/x64/bench/keep_in_sight_bench.exe
#include <windows.h>

#include <cstdio>

#include "bench_support.h"
#include "harness.h"
#include "keep_in_sight.h"

namespace {

using bench::Print;
using bench::Time;

HWND Document(HWND container, const char* title) {
    return FindWindowExA(container, nullptr, SAMPLE_DOC_CLASS, title);
}

}  // namespace

int main() {
    // The big window at the bottom, five windows above it: four that only
    // partly overlap it and one it covers.
    harness::Process sample = harness::Process::Start(
        harness::WinPath(HL_SAMPLE_MDI),
        "/frame:Bench /at:100,60,900,700 Big@100,100,400,300 A@450,120,200,100 "
        "B@50,300,200,120 C@300,380,200,100 D@420,20,200,100 Covered@150,130,150,120");
    HWND frame = harness::WaitForTopWindow(SAMPLE_FRAME_CLASS, "Bench", sample.id());
    HWND container = frame ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
    HWND big = nullptr, covered = nullptr;
    harness::WaitUntil([&] {
        big = Document(container, "Big");
        covered = Document(container, "Covered");
        return big && covered;
    });
    if (!big || !covered) {
        std::printf("the sample program did not come up\n");
        return 1;
    }
    const int cy = GetSystemMetrics(SM_CYCAPTION);
    auto coverAgain = [&] { MoveWindow(covered, 150, 130, 150, 120, TRUE); };
    auto nothing = [] {};

    std::printf("KeepInSight, sample program with 5 windows above the new top one\n");
    RECT r;
    Print("floor: one GetWindowRect of another process", Time(20000, nothing, [&] {
              GetWindowRect(big, &r);
          }));
    Print("top window: nothing above it", Time(20000, nothing, [&] {
              KeepInSight(covered, container, cy);
          }));
    KeepInSight(big, container, cy);  // now in sight: later walks move nothing
    Print("5 above, none covered (walk only)", Time(20000, nothing, [&] {
              KeepInSight(big, container, cy);
          }));
    Print("one covered window moved", Time(2000, coverAgain, [&] {
              KeepInSight(big, container, cy);
          }));

    const long long walking =
        bench::CountAllocations(100000, nothing, [&] { KeepInSight(big, container, cy); });
    std::printf("heap allocations over 100000 walk-only calls: %lld\n", walking);
    const long long moving =
        bench::CountAllocations(10000, coverAgain, [&] { KeepInSight(big, container, cy); });
    std::printf("heap allocations over 10000 calls that move a window: %lld\n", moving);
    return 0;
}
