// The --summary mode: one section per area, each printing its lines from a simple timing loop.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// The median over several runs of the mean time of one call, in nanoseconds. Each run repeats the call
// for about a millisecond, so the clock's resolution does not matter.
template <typename Call>
double MedianNanoseconds(Call&& call, int runs = 21) {
    using Clock = std::chrono::steady_clock;
    long repeats = 1;
    for (;;) {
        const auto start = Clock::now();
        for (long i = 0; i < repeats; ++i) call();
        if (Clock::now() - start > std::chrono::milliseconds(1)) break;
        repeats *= 2;
    }
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        for (long i = 0; i < repeats; ++i) {
            call();
            benchmark::ClobberMemory();
        }
        times.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / repeats);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

// Sections, in the order they print.
void PrintKernelSummary();
void PrintShowSummary();
