#include "ratio_reporter.h"

#include <cstdio>

namespace krt::bench {

RatioReporter::RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
    : pairs_(std::move(pairs)) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  // With repetitions the median stands for the benchmark; it is reported
  // after the repetitions themselves, so it replaces them. Other aggregates
  // (mean, deviation) are no time to compare.
  for (const Run& run : runs) {
    if (run.error_occurred || run.iterations == 0) continue;
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    if (run.run_type != Run::RT_Iteration && !median) continue;
    // Processor time, not wall time: on a shared machine the wall clock also
    // counts the time other programs held the processor, which differs
    // between the two sides of a ratio.
    seconds_per_iteration_[run.run_name.str()] =
        run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
  }
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  for (const auto& [subject, baseline] : pairs_) {
    bool header = false;
    const auto whole_subject = seconds_per_iteration_.find(subject);
    const auto whole_baseline = seconds_per_iteration_.find(baseline);
    if (whole_subject != seconds_per_iteration_.end() &&
        whole_baseline != seconds_per_iteration_.end() && whole_baseline->second > 0) {
      std::printf("\n%s / %s: %.2f\n", subject.c_str(), baseline.c_str(),
                  whole_subject->second / whole_baseline->second);
      continue;
    }
    for (const auto& [name, seconds] : seconds_per_iteration_) {
      if (name.rfind(subject + "/", 0) != 0) continue;
      const std::string rest = name.substr(subject.size());
      const auto base = seconds_per_iteration_.find(baseline + rest);
      if (base == seconds_per_iteration_.end() || base->second <= 0) continue;
      if (!header) {
        std::printf("\n%-44s %12s %12s %8s\n", (subject + " / " + baseline).c_str(), "subject us",
                    "baseline us", "ratio");
        header = true;
      }
      std::printf("%-44s %12.1f %12.1f %8.2f\n", rest.substr(1).c_str(), seconds * 1e6,
                  base->second * 1e6, seconds / base->second);
    }
  }
  std::fflush(stdout);
}

}  // namespace krt::bench
