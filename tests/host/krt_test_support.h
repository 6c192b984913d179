// Running krt in-process on a scratch folder of samples, and reading back
// what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "picture_calls.h"

namespace krt::test {

struct KrtRun {
  int status = -1;
  std::string out;
  std::string err;
};

// The extension of pictures krt writes by default.
inline constexpr char kDefaultExtension[] = ".png";

// The little-endian 32-bit value at `at`; outside the bytes, a test failure.
uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at);

// The bitmap IFKRT itself hands over for the file (GetPicture must succeed).
TakenPicture PictureOfPlugin(const std::string& path);

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// Runs krt with the arguments; `terminal` says whether its standard error is
// taken for a terminal.
KrtRun RunKrtWith(const std::vector<std::string>& arguments, bool terminal = false);

// Whether krt's standard error holds the failure line "krt: FILE: WHAT"
// (WHAT being the start of what the line says).
testing::AssertionResult SaysFailure(const KrtRun& run, const std::string& file,
                                     const std::string& what);

// A fixture with a fresh folder holding the bundled samples, removed after
// each test.
class KrtTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Sample(const std::string& name) const { return (folder_ / name).string(); }
  std::string InFolder(const std::string& name) const { return (folder_ / name).string(); }
  const std::filesystem::path& folder() const { return folder_; }
  // Names of the files in `folder`, sorted.
  static std::vector<std::string> FilesIn(const std::filesystem::path& folder);

 private:
  std::filesystem::path folder_;
};

}  // namespace krt::test
