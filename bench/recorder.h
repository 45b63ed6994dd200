#pragma once
// Prints the runs as usual and keeps each benchmark's time per iteration, in
// seconds, for the ratios printed after the run. CPU time holds steady on a
// machine busy with other work; real time is kept for goals stated in seconds.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace quorvel {

class Recorder : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
      seconds[run.benchmark_name()] = run.GetAdjustedCPUTime() / unit;
      realSeconds[run.benchmark_name()] = run.GetAdjustedRealTime() / unit;
    }
  }
  std::map<std::string, double> seconds;
  std::map<std::string, double> realSeconds;
};

}  // namespace quorvel
