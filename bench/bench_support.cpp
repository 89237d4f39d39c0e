#include "bench_support.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long long> allocations{0};

void* Allocate(std::size_t size) noexcept {
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}

void* AllocateOrThrow(std::size_t size) {
    void* p = Allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace bench {

double NowMicros() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1e6 * static_cast<double>(counter.QuadPart) / frequency;
}

Figures Summarize(std::vector<double> samples) {
    if (samples.empty()) return {0, 0, 0};
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 9 / 10], samples.back()};
}

void Print(const char* what, const Figures& f) {
    std::printf("%-56s median %8.1f us  p90 %8.1f us  max %9.1f us\n", what, f.median, f.p90, f.max);
}

void StartCounting() {
    allocations = 0;
    counting = true;
}

long long StopCounting() {
    counting = false;
    return allocations;
}

}  // namespace bench
