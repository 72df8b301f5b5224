// Benchmarks report ratios against a reference measured in the same run.
#pragma once

// After all benchmarks have run, prints time(numerator) / time(denominator) with the limit it
// should stay within (0 for none). Names are benchmark names as Google Benchmark prints them, or
// "name:counter" for a counter of that benchmark.
bool RegisterRatio(const char* label, const char* numerator, const char* denominator, double limit);
