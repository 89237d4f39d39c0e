// Cost and heap use of KeepInSight on the sample program's real windows.
// Prints figures; run it under Wine on a display, as the tests run:
//   wine build/x64/bench/keep_in_sight_bench.exe
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "harness.h"
#include "keep_in_sight.h"

// Every C++ heap allocation of the process is counted while counting is on.
namespace {
std::atomic<bool> counting{false};
std::atomic<long long> allocations{0};

void* Allocate(std::size_t size) {
    if (counting) ++allocations;
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

double Micros(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

struct Figures {
    double median;
    double p90;
    double max;
};

Figures Summarize(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 9 / 10], samples.back()};
}

// Times each call of step, with untimed preparation before each.
template <typename Prepare, typename Step>
Figures Time(int calls, Prepare prepare, Step step) {
    std::vector<double> samples;
    samples.reserve(calls);
    for (int i = 0; i < calls; ++i) {
        prepare();
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        step();
        QueryPerformanceCounter(&b);
        samples.push_back(Micros(a, b));
    }
    return Summarize(samples);
}

void Print(const char* what, const Figures& f) {
    std::printf("%-52s median %8.1f us  p90 %8.1f us  max %9.1f us\n", what, f.median, f.p90,
                f.max);
}

template <typename Step>
long long CountAllocations(int calls, Step step) {
    allocations = 0;
    counting = true;
    for (int i = 0; i < calls; ++i) step();
    counting = false;
    return allocations;
}

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

    const long long walking = CountAllocations(100000, [&] { KeepInSight(big, container, cy); });
    std::printf("heap allocations over 100000 walk-only calls: %lld\n", walking);
    long long moving = 0;
    for (int i = 0; i < 10000; ++i) {
        coverAgain();
        moving += CountAllocations(1, [&] { KeepInSight(big, container, cy); });
    }
    std::printf("heap allocations over 10000 calls that move a window: %lld\n", moving);
    return 0;
}
