// Writes the seed corpus of every fuzz target: FOLDER/<target>/<seed>.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fuzz_targets.h"
#include "seed_corpus.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  const auto screens = krt::fuzz::ScreenSeeds();
  const auto packs = krt::fuzz::PackSeeds();
  for (const krt::fuzz::FuzzTarget& target : krt::fuzz::kFuzzTargets) {
    const fs::path folder = fs::path(argv[1]) / target.name;
    fs::create_directories(folder);
    // Packs hold screens, so the archive targets start from both.
    auto seeds = screens;
    if (target.seeds == krt::fuzz::SeedKind::kPacks)
      seeds.insert(seeds.end(), packs.begin(), packs.end());
    for (const krt::fuzz::Seed& seed : seeds) {
      std::ofstream out(folder / seed.name, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(seed.bytes.data()),
                static_cast<std::streamsize>(seed.bytes.size()));
      if (!out) {
        std::fprintf(stderr, "cannot write %s\n", (folder / seed.name).c_str());
        return 1;
      }
    }
  }
  return 0;
}
