// The benchmark program's entry point; every bench/*.cpp adds its own benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
