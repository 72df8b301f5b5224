// Runs every benchmark, then prints the registered ratios with their limits.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ratios.h"

namespace {

struct Ratio {
  std::string label, numerator, denominator;
  double limit;
};

std::vector<Ratio>& Ratios() {
  static std::vector<Ratio> ratios;
  return ratios;
}

// Keeps the console output and remembers each benchmark's real time per iteration, and each of
// its counters under "name:counter".
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  RecordingReporter() : ConsoleReporter(OO_Tabular) {}
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations <= 0) continue;
      times[run.benchmark_name()] = run.GetAdjustedRealTime();
      for (const auto& [name, counter] : run.counters) {
        times[run.benchmark_name() + ":" + name] = counter.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

bool RegisterRatio(const char* label, const char* numerator, const char* denominator,
                   double limit) {
  Ratios().push_back({label, numerator, denominator, limit});
  return true;
}

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios (same run):\n");
  for (const Ratio& r : Ratios()) {
    auto n = reporter.times.find(r.numerator);
    auto d = reporter.times.find(r.denominator);
    if (n == reporter.times.end() || d == reporter.times.end() || d->second <= 0) continue;
    double ratio = n->second / d->second;
    if (r.limit > 0) {
      std::printf("  %-60s %8.3f  (limit %.2f: %s)\n", r.label.c_str(), ratio, r.limit,
                  ratio <= r.limit ? "within" : "OVER");
    } else {
      std::printf("  %-60s %8.3f\n", r.label.c_str(), ratio);
    }
  }
  benchmark::Shutdown();
  return 0;
}
