#include "krt_test_support.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>

#include "krt_run.h"
#include "sample_cards.h"

namespace krt::test {
namespace fs = std::filesystem;

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
         uint32_t{bytes.at(at + 3)} << 24;
}

TakenPicture PictureOfPlugin(const std::string& path) {
  TakenPicture picture = PictureOfFile(path, 0);
  EXPECT_EQ(picture.result, 0) << "GetPicture of " << path;
  return picture;
}

std::vector<uint8_t> ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out) << "cannot write " << path;
}

KrtRun RunKrtWith(const std::vector<std::string>& arguments, bool terminal) {
  std::ostringstream out;
  std::ostringstream err;
  const host::Console console{out, err, terminal};
  KrtRun run;
  run.status = host::RunKrt(arguments, console);
  run.out = out.str();
  run.err = err.str();
  return run;
}

testing::AssertionResult SaysFailure(const KrtRun& run, const std::string& file,
                                     const std::string& what) {
  if (run.err.find("krt: " + file + ": " + what) != std::string::npos) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure()
         << "no line \"krt: " << file << ": " << what << "\" in standard error:\n"
         << run.err;
}

void KrtTest::SetUp() {
  static std::atomic<uint32_t> counter{0};
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  folder_ = fs::temp_directory_path() /
            ("krt-host-test-" + std::string(test->name()) + "-" + std::to_string(counter++));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  for (const samples::SampleFile& file : samples::BuildSampleFiles()) {
    WriteFileBytes(folder_ / file.name, file.bytes);
  }
}

void KrtTest::TearDown() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

std::vector<std::string> KrtTest::FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace krt::test
