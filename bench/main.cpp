// Runs the registered benchmarks, or with --summary prints each section's figures and ratios instead;
// --show prints the show's section alone, which is the one to profile.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/summary.h"

int main(int argc, char** argv) {
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
