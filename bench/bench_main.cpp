// Entry point of korva_bench.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
