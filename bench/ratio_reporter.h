// Console output as usual, then a table of ratios between pairs of
// benchmarks measured in the same run: each "<subject>/<case>" against
// "<baseline>/<case>".
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace krt::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Each pair names a subject prefix and its baseline prefix, e.g.
  // {"GetPicture", "Memcpy"}, or two whole benchmark names.
  explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs);

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
  std::map<std::string, double> seconds_per_iteration_;
};

}  // namespace krt::bench
