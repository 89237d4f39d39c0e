// Timing and heap counting shared by the benchmark programs. Linking
// bench_support.cpp replaces the program's operator new, so that every C++
// heap allocation made while counting is on is seen.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

// Microseconds since an arbitrary start, from the performance counter.
double NowMicros();

struct Figures {
    double median;
    double p90;
    double max;
};

Figures Summarize(std::vector<double> samples);
void Print(const char* what, const Figures& figures);

// Times each call of step, with untimed preparation before each.
template <typename Prepare, typename Step>
Figures Time(int calls, Prepare prepare, Step step) {
    std::vector<double> samples;
    samples.reserve(calls);
    for (int i = 0; i < calls; ++i) {
        prepare();
        const double start = NowMicros();
        step();
        samples.push_back(NowMicros() - start);
    }
    return Summarize(samples);
}

void StartCounting();
// Allocations since StartCounting.
long long StopCounting();

// Heap allocations made by calls of step, with untimed, uncounted
// preparation before each.
template <typename Prepare, typename Step>
long long CountAllocations(int calls, Prepare prepare, Step step) {
    long long total = 0;
    for (int i = 0; i < calls; ++i) {
        prepare();
        StartCounting();
        step();
        total += StopCounting();
    }
    return total;
}

}  // namespace bench
