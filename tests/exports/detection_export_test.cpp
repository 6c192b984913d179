#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "loaded_plugins.h"
#include "screen_builder.h"

namespace {

using namespace krt::test;

class IsSupportedExport : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(Ifkrt().IsSupported, nullptr); }
  int32_t Judge(const std::vector<uint8_t>& bytes) {
    const std::string path = krt::test::WriteTempFile(bytes, "judged.2D");
    HANDLE file = OpenHostHandle(path);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    const int32_t answer = Ifkrt().IsSupported("judged.2D", HandleSource(file));
    CloseHandle(file);
    krt::test::RemoveFile(path);
    return answer;
  }
};

TEST_F(IsSupportedExport, BufferIsJudgedWithoutALength) {
  auto screen = BuildScreenFile(ScreenPlan{});
  EXPECT_EQ(Ifkrt().IsSupported("a.2D", AsSource(screen.data())), 1);
  // Only 96 bytes are at hand in a buffer; the sections may lie far beyond.
  krt::test::SetSection(screen, 3, 0x10000, 0x7FFFFFFF - 0x10000);
  EXPECT_EQ(Ifkrt().IsSupported("a.2D", AsSource(screen.data())), 1);
  krt::test::SetSection(screen, 3, 0x10000, 0x7FFFFFFF - 0x10000 + 1);
  EXPECT_EQ(Ifkrt().IsSupported("a.2D", AsSource(screen.data())), 0);
  screen[0] = 'X';
  EXPECT_EQ(Ifkrt().IsSupported("a.2D", AsSource(screen.data())), 0);
}

TEST_F(IsSupportedExport, HandleIsJudgedAgainstTheWholeFile) {
  const auto screen = BuildScreenFile(ScreenPlan{});
  EXPECT_EQ(Judge(screen), 1);
  // A colour table that runs one byte past the end of the file.
  EXPECT_EQ(Judge(std::vector<uint8_t>(screen.begin(), screen.end() - 1)), 0);
  // Trailing bytes after the screen do no harm.
  auto longer = screen;
  longer.resize(screen.size() + 100, 0);
  EXPECT_EQ(Judge(longer), 1);
}

TEST_F(IsSupportedExport, ShortFilesAreRefused) {
  const auto screen = BuildScreenFile(ScreenPlan{});
  EXPECT_EQ(Judge(std::vector<uint8_t>(screen.begin(), screen.begin() + 95)), 0);
  EXPECT_EQ(Judge({}), 0);
}

TEST_F(IsSupportedExport, HandlePositionedMidFileStaysUsable) {
  const auto screen = BuildScreenFile(ScreenPlan{});
  const std::string path = krt::test::WriteTempFile(screen, "midfile.2D");
  HANDLE file = OpenHostHandle(path);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_EQ(SetFilePointer(file, 200, nullptr, FILE_BEGIN), 200u);

  EXPECT_EQ(Ifkrt().IsSupported("midfile.2D", HandleSource(file)), 1);

  // Read from the start, left after the bytes read, and not closed.
  ExpectHandleLeftAt(file, screen, 96);
  krt::test::RemoveFile(path);
}

TEST_F(IsSupportedExport, HandleOfAFileTooShortStaysUsable) {
  const std::string path = krt::test::WriteTempFile(std::vector<uint8_t>(50, 7), "short.2D");
  HANDLE file = OpenHostHandle(path);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Ifkrt().IsSupported("short.2D", HandleSource(file)), 0);
  ASSERT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
  uint8_t byte = 0;
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(file, &byte, 1, &got, nullptr));
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(byte, 7);
  EXPECT_TRUE(CloseHandle(file));
  krt::test::RemoveFile(path);
}

TEST_F(IsSupportedExport, SmallValueThatIsNoOpenHandleAnswersZero) {
  // 0xFFFF is taken for a handle, never dereferenced as an address.
  EXPECT_EQ(Ifkrt().IsSupported("x.2D", 0xFFFF), 0);
}

TEST(GetPreviewExport, AlwaysNotImplemented) {
  ASSERT_NE(Ifkrt().GetPreview, nullptr);
  EXPECT_EQ(Ifkrt().GetPreview(nullptr, 0, 0, nullptr, nullptr, nullptr, 0), -1);
  char path[] = "no-such-file.2D";
  krt::MemoryHandle a = nullptr, b = nullptr;
  EXPECT_EQ(Ifkrt().GetPreview(path, 5, 1, &a, &b, nullptr, 7), -1);
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(b, nullptr);
}

}  // namespace
