// Runs the registered benchmarks, or with --summary prints each section's figures and ratios instead.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/summary.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--summary") == 0) {
    PrintKernelSummary();
    PrintShowSummary();
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
