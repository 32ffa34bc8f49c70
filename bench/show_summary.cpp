// The whole show at 60 frames a second of demo time, rendering only (no screen, no sound card), once
// with the fast kernels and once with the reference ones, each in a process of its own.
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/show_play.h"
#include "bench/summary.h"
#include "render/kernels.h"
#include "tests/kit/kit.h"

namespace {

bool PlayInChild(KernelSet set, ShowStats& stats) {
    const auto bytes = kit::InChildProcess([set] {
        UseKernelSet(set);
        const ShowStats s = PlayShow();
        return std::string(reinterpret_cast<const char*>(&s), sizeof s);
    });
    if (!bytes || bytes->size() != sizeof stats) return false;
    std::memcpy(&stats, bytes->data(), sizeof stats);
    return true;
}

}  // namespace

void PrintShowSummary() {
    ShowStats fast, reference;
    if (!PlayInChild(BestKernelSet(), fast) || !PlayInChild(KernelSet::Reference, reference)) {
        std::printf("the show could not be played\n");
        return;
    }
    std::printf("\nThe whole show at 60 fps of demo time, rendering only (%s against reference kernels)\n",
                KernelSetName(BestKernelSet()));
    std::printf("%-14s %7s %9s %9s %9s %9s %9s %9s\n", "counts", "frames", "mean us", "worst us", "fps", "ref mean",
                "ref fps", "ref/fast");
    for (int r = 0; r < showRangeCount; ++r) {
        if (fast.frames[r] == 0) continue;
        const double mean = fast.total[r] / static_cast<double>(fast.frames[r]);
        const double refMean = reference.frames[r] ? reference.total[r] / static_cast<double>(reference.frames[r]) : 0;
        std::printf("%-14s %7ld %9.1f %9.1f %9.0f %9.1f %9.0f %9.2f\n", showRanges[r].name, fast.frames[r], mean,
                    fast.worst[r], 1e6 / mean, refMean, refMean > 0 ? 1e6 / refMean : 0, refMean / mean);
    }
    std::printf("start-up to the first frame: %.0f us\n", fast.startupUs);
}
