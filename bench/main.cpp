// Runs the registered benchmarks, or with --summary prints each section's figures and ratios instead;
// --show prints the show's section alone, which is the one to profile.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "bench/summary.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(
            "usage: quendralis-bench [--summary | --show | benchmark options]\n"
            "  --summary  each kernel beside memcpy of the same bytes, each effect's frame and the whole\n"
            "             show's mean frame time, with the ratios (fast kernels against the plain ones)\n"
            "  --show     the whole show's section alone, the one to profile\n"
            "Without either, it runs the registered benchmarks; --benchmark_filter=REGEX and the other\n"
            "benchmark options follow below.\n\n",
            stdout);
        benchmark::Initialize(&argc, argv);  // prints the benchmark library's own options
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--summary") == 0) {
        PrintKernelSummary();
        PrintShowSummary();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--show") == 0) {
        PrintShowSummary();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
