// Every entry of a pack of 2,000 and of 10,000 small screens, one GetFile
// call each, into a folder against the same extraction to file paths, for
// the builds Google Benchmark does not reach: the DLLs under Wine. Each
// round extracts once each way, back to back, after moving the pack's write
// time so that neither finds a walk kept from before; the table gives the
// median time of each side and the median, lowest and highest ratio.
//
// Usage: extract_speed [ROUNDS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "extract_all.h"
#include "plugin_loader.h"
#include "thread_clock.h"

namespace {

using krt::bench::Median;
using krt::bench::Seconds;

// Seconds of one extraction of every entry, or a negative number when a
// call fails.
double TimeExtraction(krt::GetFileFn get_file, krt::bench::PackToExtract& pack, bool into_folder) {
  krt::bench::MoveWriteTime(pack);
  const double start = Seconds();
  if (!krt::bench::ExtractEveryEntry(get_file, pack, into_folder)) return -1;
  return Seconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  krt::host::PluginSet plugins;
  std::string error;
  if (rounds <= 0 || !krt::host::LoadPluginSet(krt::host::ProgramFolder(), &plugins, &error)) {
    std::fprintf(stderr, "extract_speed: %s\n",
                 rounds <= 0 ? "ROUNDS must be positive" : error.c_str());
    return 1;
  }
  const krt::GetFileFn get_file = plugins.archive.GetFile;
  std::printf("%-22s %12s %12s %8s %8s %8s\n", "into folder / to paths", "subject ms",
              "baseline ms", "ratio", "lowest", "highest");
  int status = 0;
  for (const uint32_t screens : {2000u, 10000u}) {
    krt::bench::PackToExtract pack = krt::bench::WritePackToExtract(screens);
    // The first, untimed extraction makes the files every round replaces.
    if (pack.path.empty() || TimeExtraction(get_file, pack, false) < 0) {
      std::printf("%-22u extraction failed\n", screens);
      status = 1;
      continue;
    }
    std::vector<double> subject, baseline, ratios;
    for (int round = 0; round < rounds && status == 0; ++round) {
      subject.push_back(TimeExtraction(get_file, pack, true));
      baseline.push_back(TimeExtraction(get_file, pack, false));
      if (subject.back() < 0 || baseline.back() < 0) status = 1;
      ratios.push_back(subject.back() / baseline.back());
    }
    if (status != 0) {
      std::printf("%-22u extraction failed\n", screens);
      continue;
    }
    std::printf("%-22u %12.1f %12.1f %8.2f %8.2f %8.2f\n", screens, Median(subject) * 1e3,
                Median(baseline) * 1e3, Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
  }
  krt::host::UnloadPluginSet(&plugins);
  return status;
}
