#include "read_at_offset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screen_builder.h"

namespace {

using krt::archive::ReadAtOffset;

class ReadAtOffsetTest : public testing::Test {
 protected:
  HANDLE Open(const std::vector<uint8_t>& bytes) {
    path_ = krt::test::WriteTempFile(bytes, "read.bin");
    file_ = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file_, INVALID_HANDLE_VALUE);
    return file_;
  }
  void Close() {
    if (file_ != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(CloseHandle(file_));
    }
    file_ = INVALID_HANDLE_VALUE;
    krt::test::RemoveFile(path_);
  }
  void TearDown() override { Close(); }
  static std::vector<uint8_t> Counting(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    return bytes;
  }
  std::string path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

TEST_F(ReadAtOffsetTest, ReadsAtTheOffsetAndReportsTheSize) {
  const auto bytes = Counting(1000);
  HANDLE file = Open(bytes);
  uint8_t buffer[160] = {};
  uint32_t size = 0;
  ASSERT_EQ(ReadAtOffset(file, 840, sizeof buffer, buffer, &size), krt::kSuccess);
  EXPECT_EQ(size, 1000u);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 160),
            std::vector<uint8_t>(bytes.begin() + 840, bytes.end()));
  // The size is not required.
  EXPECT_EQ(ReadAtOffset(file, 0, 4, buffer, nullptr), krt::kSuccess);
  EXPECT_EQ(buffer[1], 7);
}

TEST_F(ReadAtOffsetTest, RefusesWithoutCountOrBufferBeforeTouchingTheFile) {
  uint8_t buffer[4];
  EXPECT_EQ(ReadAtOffset(INVALID_HANDLE_VALUE, 0, 0, buffer, nullptr), krt::kBadArgument);
  EXPECT_EQ(ReadAtOffset(INVALID_HANDLE_VALUE, 0, 4, nullptr, nullptr), krt::kBadArgument);
  EXPECT_EQ(ReadAtOffset(INVALID_HANDLE_VALUE, 0, 4, buffer, nullptr), krt::kFileError);
}

TEST_F(ReadAtOffsetTest, FileErrors) {
  struct Case {
    const char* what;
    size_t file_size;
    int64_t offset;
    uint32_t count;
  };
  const Case cases[] = {
      {"80-byte file asked for 160", 80, 0, 160},
      {"read running past the end", 300, 200, 160},
      {"offset past the end", 300, 301, 1},
      {"negative offset", 300, -1, 4},
      {"offset beyond a signed 32-bit move", 300, int64_t{1} << 31, 4},
  };
  for (const Case& c : cases) {
    HANDLE file = Open(Counting(c.file_size));
    std::vector<uint8_t> buffer(c.count);
    uint32_t size = 456;
    EXPECT_EQ(ReadAtOffset(file, c.offset, c.count, buffer.data(), &size), krt::kFileError)
        << c.what;
    EXPECT_EQ(size, 456u) << c.what;
    Close();
  }
}

TEST_F(ReadAtOffsetTest, LeavesTheHandleOpenAfterAFailure) {
  HANDLE file = Open(Counting(100));
  uint8_t buffer[160];
  EXPECT_EQ(ReadAtOffset(file, 0, sizeof buffer, buffer, nullptr), krt::kFileError);
  EXPECT_EQ(ReadAtOffset(file, 10, 10, buffer, nullptr), krt::kSuccess);
  EXPECT_EQ(buffer[0], 70);
}

}  // namespace
