// A console reporter that also keeps each benchmark's CPU time per iteration, so
// a benchmark program can print the ratios of its own figures, all measured
// in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

/// Prints the usual table and remembers the CPU time per iteration of each run
/// (steadier than wall time on a shared machine).
class RatioReporter : public benchmark::ConsoleReporter {
public:
  /// Keeps the figures of each finished run, then prints it as usual.
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs)
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        seconds_[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
    ConsoleReporter::ReportRuns(runs);
  }

  /// Prints "slow / fast = ratio" for each pair whose two runs both ran.
  void print_ratios(const std::vector<std::pair<std::string, std::string>>& pairs) const {
    std::printf("\n");
    for (const auto& [slow, fast] : pairs) {
      const auto s = seconds_.find(slow), f = seconds_.find(fast);
      if (s == seconds_.end() || f == seconds_.end() || f->second <= 0) continue;
      std::printf("ratio %s / %s = %.2f\n", slow.c_str(), fast.c_str(), s->second / f->second);
    }
  }

private:
  std::map<std::string, double> seconds_;
};

/// Runs the registered benchmarks with the command line's options and prints the ratios.
inline int run_with_ratios(int argc, char** argv,
                           const std::vector<std::pair<std::string, std::string>>& pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.print_ratios(pairs);
  benchmark::Shutdown();
  return 0;
}

} // namespace bench
