// Prints benchmark figures as ratios to a floor measured in the same run: CPU time per iteration, the minimum
// and the median of the repetitions.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Use as ->Apply(WithMinimum): the minimum of the repetitions beside the median the library computes anyway.
inline void WithMinimum(benchmark::internal::Benchmark* bench) {
  bench->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

// Use as ->Apply(FloorRepetitions).
inline void FloorRepetitions(benchmark::internal::Benchmark* bench) {
  WithMinimum(bench->Repetitions(15)->ReportAggregatesOnly(true));
}

// Keeps the min and median aggregates of every benchmark by "function/args" and, once all have run, hands
// itself to a printer that writes the ratios.
class FloorRatioReporter : public benchmark::ConsoleReporter {
 public:
  using Printer = std::function<void(const FloorRatioReporter&)>;

  explicit FloorRatioReporter(Printer print) : mPrint(std::move(print)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate) continue;
      Figures& figures = mFigures[Key(run)][run.aggregate_name];
      // CPU time: other work on the machine inflates wall time unevenly between benchmarks.
      figures.mCpuNs = run.GetAdjustedCPUTime();
      for (const auto& [name, counter] : run.counters) figures.mCounters[name] = counter.value;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    if (mPrint) mPrint(*this);
  }

  // True when both the min and the median of name were reported.
  bool Has(const std::string& name) const {
    const auto found = mFigures.find(name);
    return found != mFigures.end() && found->second.count("min") && found->second.count("median");
  }

  double Counter(const std::string& name, const char* statistic, const std::string& counter) const {
    const Figures* figures = Find(name, statistic);
    if (!figures) return 0.0;
    const auto found = figures->mCounters.find(counter);
    return found == figures->mCounters.end() ? 0.0 : found->second;
  }

  // One line for the min and one for the median of ours against floor, both divided by perUnit (the work
  // one iteration does, where the figure is per item).
  void PrintRatio(const std::string& what, const std::string& ours, const std::string& floor,
                  double perUnit = 1.0) const {
    if (!Has(ours) || !Has(floor)) return;
    for (const char* statistic : {"min", "median"}) {
      const double a = Find(ours, statistic)->mCpuNs / perUnit, b = Find(floor, statistic)->mCpuNs / perUnit;
      std::printf("%-52s %-6s %9.1f ns vs floor %9.1f ns (CPU), ratio %.2f\n", what.c_str(), statistic, a, b,
                  b > 0.0 ? a / b : 0.0);
    }
  }

 private:
  struct Figures {
    double mCpuNs = 0.0;
    std::map<std::string, double> mCounters;
  };

  static std::string Key(const Run& run) {
    const std::string& args = run.run_name.args;
    return run.run_name.function_name + (args.empty() ? "" : "/" + args);
  }

  const Figures* Find(const std::string& name, const char* statistic) const {
    const auto byName = mFigures.find(name);
    if (byName == mFigures.end()) return nullptr;
    const auto byStatistic = byName->second.find(statistic);
    return byStatistic == byName->second.end() ? nullptr : &byStatistic->second;
  }

  Printer mPrint;
  std::map<std::string, std::map<std::string, Figures>> mFigures;
};

inline int RunWithRatios(int argc, char** argv, FloorRatioReporter::Printer print) {
  benchmark::Initialize(&argc, argv);
  FloorRatioReporter reporter(std::move(print));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

struct FloorComparison {
  std::string mOurs;
  std::string mFloor;
  std::string mWhat;
};

inline int RunWithFloorRatios(int argc, char** argv, std::vector<FloorComparison> comparisons) {
  return RunWithRatios(argc, argv, [comparisons = std::move(comparisons)](const FloorRatioReporter& reporter) {
    for (const FloorComparison& c : comparisons) reporter.PrintRatio(c.mWhat, c.mOurs, c.mFloor);
  });
}
