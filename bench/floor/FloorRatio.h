// Prints benchmark figures as ratios to a floor measured in the same run: CPU time per iteration, the minimum
// and the median of the repetitions.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct FloorComparison {
  std::string mOurs;
  std::string mFloor;
  std::string mWhat;
};

// Use as ->Apply(FloorRepetitions).
inline void FloorRepetitions(benchmark::internal::Benchmark* bench) {
  bench->Repetitions(15)
      ->ReportAggregatesOnly(true)
      ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

class FloorRatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit FloorRatioReporter(std::vector<FloorComparison> comparisons) : mComparisons(std::move(comparisons)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // CPU time: other work on the machine inflates wall time unevenly between benchmarks.
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate)
        mNanoseconds[Key(run)][run.aggregate_name] = run.GetAdjustedCPUTime();
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const FloorComparison& c : mComparisons) {
      const auto ours = mNanoseconds.find(c.mOurs), floor = mNanoseconds.find(c.mFloor);
      if (ours == mNanoseconds.end() || floor == mNanoseconds.end()) continue;
      for (const char* statistic : {"min", "median"}) {
        const double a = ours->second[statistic], b = floor->second[statistic];
        std::printf("%-52s %-6s %9.1f ns vs floor %9.1f ns (CPU), ratio %.2f\n", c.mWhat.c_str(), statistic, a, b,
                    b > 0.0 ? a / b : 0.0);
      }
    }
  }

 private:
  static std::string Key(const Run& run) {
    const std::string& args = run.run_name.args;
    return run.run_name.function_name + (args.empty() ? "" : "/" + args);
  }

  std::vector<FloorComparison> mComparisons;
  std::map<std::string, std::map<std::string, double>> mNanoseconds;
};

inline int RunWithFloorRatios(int argc, char** argv, std::vector<FloorComparison> comparisons) {
  benchmark::Initialize(&argc, argv);
  FloorRatioReporter reporter(std::move(comparisons));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
