// quendralis-bench-show: the whole show's mean frame time with one kernel set, in a single process and
// without the benchmark library, so that it builds as WebAssembly for node as well as natively;
// bench/web_ratio.sh runs both and prints the ratio.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "bench/show_play.h"
#include "render/kernels.h"

namespace {

const char usage[] =
    "usage: quendralis-bench-show [--kernels best|reference|sse2|avx2|avx512]\n"
    "Plays the whole show at 60 fps of demo time, rendering only, and prints each part's mean and worst\n"
    "frame time; the last line is 'show MEAN_US' (a set the processor lacks falls back to the best).\n";

}  // namespace

int main(int argc, char** argv) {
    KernelSet set = BestKernelSet();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--kernels") == 0 && i + 1 < argc) {
            const char* name = argv[++i];
            bool known = std::strcmp(name, "best") == 0;
            for (KernelSet s : {KernelSet::Reference, KernelSet::SSE2, KernelSet::AVX2, KernelSet::AVX512})
                if (std::strcmp(name, KernelSetName(s)) == 0) {
                    set = s;
                    known = true;
                }
            if (!known) {
                std::fprintf(stderr, "quendralis-bench-show: no kernel set '%s'\n%s", name, usage);
                return 2;
            }
        } else {
            std::fputs(usage, std::strcmp(argv[i], "--help") == 0 ? stdout : stderr);
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }
    UseKernelSet(set);
    const ShowStats s = PlayShow();
    if (s.frames[showRangeCount - 1] == 0) {
        std::fputs("quendralis-bench-show: the show could not be played\n", stderr);
        return 1;
    }
    std::printf("The whole show at 60 fps of demo time, rendering only, %s kernels\n",
                KernelSetName(CurrentKernelSet()));
    std::printf("%-14s %7s %9s %9s\n", "counts", "frames", "mean us", "worst us");
    for (int r = 0; r < showRangeCount; ++r)
        if (s.frames[r] > 0)
            std::printf("%-14s %7ld %9.1f %9.1f\n", showRanges[r].name, s.frames[r],
                        s.total[r] / static_cast<double>(s.frames[r]), s.worst[r]);
    std::printf("start-up to the first frame: %.0f us\n", s.startupUs);
    std::printf("show %.2f\n", s.total[showRangeCount - 1] / static_cast<double>(s.frames[showRangeCount - 1]));
    return 0;
}
