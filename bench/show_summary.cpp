// The whole show at 60 frames a second of demo time, rendering only (no screen, no sound card), once
// with the fast kernels and once with the reference ones, each in a process of its own.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/summary.h"
#include "music/timeline.h"
#include "platform/virtual/virtual_host.h"
#include "render/kernels.h"
#include "tests/kit/kit.h"

namespace {

struct Range {
    const char* name;
    int first, last;   // handled sync counts
};
const Range ranges[] = {{"pictures 0-2", 0, 2}, {"drop 3", 3, 3},     {"greets 4-26", 4, 26},
                        {"ending 27-31", 27, 31}, {"after 32+", 32, 1 << 30}, {"show", 0, 1 << 30}};
constexpr int rangeCount = 6;

struct Stats {
    double total[rangeCount] = {}, worst[rangeCount] = {};
    long frames[rangeCount] = {};
    double startupUs = 0;
};

Stats PlayShow() {
    using Clock = std::chrono::steady_clock;
    Stats s;
    qhost::VirtualHost host;
    const auto begin = Clock::now();
    auto frameStart = begin;
    bool first = true;
    host.onPoll = [&](qhost::VirtualHost& h) {
        if (first && h.audioOpen()) s.startupUs = std::chrono::duration<double, std::micro>(Clock::now() - begin).count();
    };
    const auto timeFrame = [&](qhost::VirtualHost&, int) {
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - frameStart).count();
        if (!first) {
            for (int r = 0; r < rangeCount; ++r)
                if (handledSync >= ranges[r].first && handledSync <= ranges[r].last) {
                    s.total[r] += us;
                    s.worst[r] = std::max(s.worst[r], us);
                    ++s.frames[r];
                }
        }
        first = false;
    };
    const auto goOn = [&](qhost::VirtualHost& h, int) {
        frameStart = Clock::now();   // the sound is not part of a frame's time
        return handledSync < 32 || h.clock <= 160000;
    };
    kit::PlayShow(host, 60, {timeFrame, goOn});
    return s;
}

bool PlayInChild(KernelSet set, Stats& stats) {
    const auto bytes = kit::InChildProcess([set] {
        UseKernelSet(set);
        const Stats s = PlayShow();
        return std::string(reinterpret_cast<const char*>(&s), sizeof s);
    });
    if (!bytes || bytes->size() != sizeof stats) return false;
    std::memcpy(&stats, bytes->data(), sizeof stats);
    return true;
}

}  // namespace

void PrintShowSummary() {
    Stats fast, reference;
    if (!PlayInChild(BestKernelSet(), fast) || !PlayInChild(KernelSet::Reference, reference)) {
        std::printf("the show could not be played\n");
        return;
    }
    std::printf("\nThe whole show at 60 fps of demo time, rendering only (%s against reference kernels)\n",
                KernelSetName(BestKernelSet()));
    std::printf("%-14s %7s %9s %9s %9s %9s %9s %9s\n", "counts", "frames", "mean us", "worst us", "fps",
                "ref mean", "ref fps", "ref/fast");
    for (int r = 0; r < rangeCount; ++r) {
        if (fast.frames[r] == 0) continue;
        const double mean = fast.total[r] / static_cast<double>(fast.frames[r]);
        const double refMean = reference.frames[r] ? reference.total[r] / static_cast<double>(reference.frames[r]) : 0;
        std::printf("%-14s %7ld %9.1f %9.1f %9.0f %9.1f %9.0f %9.2f\n", ranges[r].name, fast.frames[r], mean,
                    fast.worst[r], 1e6 / mean, refMean, refMean > 0 ? 1e6 / refMean : 0, refMean / mean);
    }
    std::printf("start-up to the first frame: %.0f us\n", fast.startupUs);
}
