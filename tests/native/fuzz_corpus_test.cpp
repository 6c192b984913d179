// The fuzz targets' checks, run by the ordinary suite: every target over the
// seeds it starts from, and over every input that once broke one of its
// invariants (fuzz/regression/<target>/), so a fault that was found stays
// fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "seed_corpus.h"

namespace krt::fuzz {

// Test names and failure messages show the target by name.
void PrintTo(const FuzzTarget& target, std::ostream* out) { *out << target.name; }

}  // namespace krt::fuzz

namespace {

namespace fs = std::filesystem;
using krt::fuzz::FuzzTarget;

[[noreturn]] void ThrowBrokenInvariant(const char* message) { throw std::runtime_error(message); }

class FuzzTargetCorpus : public testing::TestWithParam<FuzzTarget> {
 protected:
  void SetUp() override { krt::fuzz::SetCheckFailureHandler(ThrowBrokenInvariant); }
  void TearDown() override { krt::fuzz::SetCheckFailureHandler(nullptr); }

  void Run(const std::string& input_name, const std::vector<uint8_t>& bytes) {
    try {
      GetParam().run(bytes.data(), bytes.size());
    } catch (const std::runtime_error& broken) {
      ADD_FAILURE() << input_name << ": " << broken.what();
    }
  }
};

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST_P(FuzzTargetCorpus, HoldsOnEverySeed) {
  std::vector<krt::fuzz::Seed> seeds = krt::fuzz::ScreenSeeds();
  if (GetParam().seeds == krt::fuzz::SeedKind::kPacks) {
    for (auto& seed : krt::fuzz::PackSeeds()) seeds.push_back(std::move(seed));
  }
  for (const auto& seed : seeds) Run(seed.name, seed.bytes);
}

TEST_P(FuzzTargetCorpus, HoldsOnEveryRegressionInput) {
  const fs::path folder = fs::path(KRT_FUZZ_REGRESSION_DIR) / GetParam().name;
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no regression inputs for " << GetParam().name;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) Run(entry.path().filename().string(), ReadFile(entry.path()));
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzTargetCorpus, testing::ValuesIn(krt::fuzz::kFuzzTargets),
                         [](const testing::TestParamInfo<FuzzTarget>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
