// The benchmark program: Google Benchmark's usual output, then a table of
// every figure against the baseline it names, both measured in this run (the
// medians when --benchmark_repetitions is given), and against its goal.
// Benchmarks are single-threaded, so their CPU time is their own work.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Pairing {
  const char* benchmark;
  const char* baseline;
  double goalMicroseconds;  // 0: no goal of its own
};

constexpr Pairing kPairings[] = {
    {"BM_PollTick", "BM_PollTick_Baseline_PadReads", 2.0},
    {"BM_MonitorTick_Detect", "BM_MonitorTick_Baseline_Snapshot", 1000.0},
    {"BM_MonitorTick_Unchanged", "BM_MonitorTick_Baseline_Snapshot", 0},
    {"BM_LoadPlayTable_LastOf1000", "BM_LoadPlayTable_Baseline_ReadBytes", 5000.0},
    {"BM_LoadPlayTable_References", "BM_LoadPlayTable_Baseline_ReadBytes", 5000.0},
    {"BM_AppendProfile", "BM_KeyFile_Baseline_CopyBytes", 0},
    {"BM_LoadProfile", "BM_KeyFile_Baseline_ReadBytes", 0},
    {"BM_DeleteProfile", "BM_KeyFile_Baseline_CopyBytes", 0},
    {"BM_LoadGameList", "BM_GameList_Baseline_ReadBytes", 0},
    {"BM_SaveGameList", "BM_GameList_Baseline_CopyBytes", 0},
    {"BM_FormatKeySequence", "BM_FormatKeySequence_Baseline_JoinNames", 0},
};

// Keeps each benchmark's CPU time per iteration in microseconds: the median
// aggregate when there is one, else the single run. CPU time, because on a
// shared machine the wall time also counts the time spent waiting for a core.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const double us =
          run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e6;
      const std::string name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") m_median[name] = us;
      } else {
        m_single[name] = us;
      }
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-30s %12s %12s %8s %10s\n", "benchmark (median CPU time)", "us/op",
                "baseline us", "ratio", "goal us");
    for (const Pairing& p : kPairings) {
      const double* value = Find(p.benchmark);
      const double* base = Find(p.baseline);
      if (!value) continue;
      char goal[32] = "-";
      if (p.goalMicroseconds > 0) {
        std::snprintf(goal, sizeof goal, "%g %s", p.goalMicroseconds,
                      *value < p.goalMicroseconds ? "met" : "MISSED");
      }
      if (base) {
        std::printf("%-30s %12.3f %12.3f %8.2f %10s\n", p.benchmark, *value, *base, *value / *base,
                    goal);
      } else {
        std::printf("%-30s %12.3f %12s %8s %10s\n", p.benchmark, *value, "-", "-", goal);
      }
    }
    std::printf(
        "baselines: PollTick = the four pad reads; MonitorTick = one snapshot of the "
        "processes;\nLoadPlayTable, LoadProfile, LoadGameList = reading the file's bytes; "
        "Append/Delete/SaveGameList =\ncopying the file's bytes over it; "
        "FormatKeySequence = joining the 33 names\n");
  }

 private:
  const double* Find(const std::string& name) const {
    if (auto it = m_median.find(name); it != m_median.end()) return &it->second;
    if (auto it = m_single.find(name); it != m_single.end()) return &it->second;
    return nullptr;
  }

  std::map<std::string, double> m_median;
  std::map<std::string, double> m_single;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
