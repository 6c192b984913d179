// Every failure path of GetPicture and GetPictureInfo, through the stand-in's
// fault injection: the right result, and nothing left behind: no open file,
// no live block, both handle slots and the info record as the host left them.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "loaded_plugins.h"
#include "platform_control.h"
#include "screen_builder.h"

namespace {

using krt::test::Ifkrt;
using krt::test::ScreenPlan;

// 256 colours over two palettes: 24-bit output, so GetPicture allocates
// all it can: the file copy, the colour lookup table and both blocks.
std::vector<uint8_t> LookupScreen() {
  ScreenPlan plan;
  plan.colours_256 = true;
  plan.dot_data.assign(64, 3);
  // Character 0 in banks 0 (mirrored) and 1.
  krt::test::SetName(plan, 0, 0, 0x0400);
  krt::test::SetName(plan, 2, 1, 0x1000);
  plan.colours.assign(512, 0x7FFF);
  return krt::test::BuildScreenFile(plan);
}

krt::MemoryHandle const kHostSlot = krt::host::UntouchedSlot();

enum class Input { kFile, kMemory };

struct FaultCase {
  const char* what;
  Input input;
  std::optional<KrtPlatformCall> fail;  // the kind of call that fails
  uint32_t nth = 1;                     // which one of that kind
  int32_t expected = 0;
  std::function<std::vector<uint8_t>()> screen = LookupScreen;
  int32_t offset_or_length = 0;  // file offset; memory: 0 means the whole image
  int32_t stop_at = -1;          // progress numerator that answers non-zero
};

int32_t KRT_STDCALL StopAt(int32_t numerator, int32_t /*denominator*/, intptr_t user) {
  return numerator == static_cast<int32_t>(user) ? 1 : 0;
}

class PictureFaults : public testing::TestWithParam<FaultCase> {
 protected:
  void SetUp() override {
    ASSERT_NE(Ifkrt().GetPicture, nullptr);
    ASSERT_NE(Ifkrt().GetPictureInfo, nullptr);
    bytes_ = GetParam().screen();
    path_ = krt::test::WriteTempFile(bytes_, "fault.2D");
    ASSERT_FALSE(path_.empty());
  }
  void TearDown() override { krt::test::RemoveFile(path_); }

  const char* Source() const {
    return GetParam().input == Input::kFile ? path_.c_str()
                                            : reinterpret_cast<const char*>(bytes_.data());
  }
  int32_t OffsetOrLength() const {
    const FaultCase& c = GetParam();
    if (c.input == Input::kFile || c.offset_or_length != 0) return c.offset_or_length;
    return static_cast<int32_t>(bytes_.size());
  }
  uint32_t Flag() const { return GetParam().input == Input::kFile ? 0 : 1; }

  void Arm() {
    KrtPlatformReset();
    if (GetParam().fail) KrtPlatformFailNth(*GetParam().fail, GetParam().nth);
  }
  void ExpectFired() {
    if (GetParam().fail) {
      EXPECT_TRUE(KrtPlatformFailureFired(*GetParam().fail));
    }
    KrtPlatformReset();
  }

  std::vector<uint8_t> bytes_;
  std::string path_;
};

TEST_P(PictureFaults, GetPictureFailsCleanly) {
  const FaultCase& c = GetParam();
  const int32_t files = KrtPlatformOpenFiles();
  const int32_t blocks = KrtPlatformLiveBlocks();
  krt::MemoryHandle info = kHostSlot;
  krt::MemoryHandle pixels = kHostSlot;
  Arm();
  const int32_t result = Ifkrt().GetPicture(Source(), OffsetOrLength(), Flag(), &info, &pixels,
                                            c.stop_at >= 0 ? StopAt : nullptr, c.stop_at);
  ExpectFired();
  EXPECT_EQ(result, c.expected);
  EXPECT_EQ(info, kHostSlot);
  EXPECT_EQ(pixels, kHostSlot);
  EXPECT_EQ(KrtPlatformOpenFiles(), files);
  EXPECT_EQ(KrtPlatformLiveBlocks(), blocks);
}

// The fault cases: the platform calls GetPicture makes, in order, for a file
// are open, size, seek, read (header), seek, alloc (copy), read (span), alloc
// (lookup table), alloc and lock (info block), alloc and lock (pixel block).
INSTANTIATE_TEST_SUITE_P(
    GetPictureTable, PictureFaults,
    testing::Values(
        FaultCase{"OpenFails", Input::kFile, kKrtCallOpen, 1, 6},
        FaultCase{"SizeQueryFails", Input::kFile, kKrtCallSize, 1, 6},
        FaultCase{"SeekToHeaderFails", Input::kFile, kKrtCallSeek, 1, 6},
        FaultCase{"HeaderReadFails", Input::kFile, kKrtCallRead, 1, 6},
        FaultCase{"SeekToSectionsFails", Input::kFile, kKrtCallSeek, 2, 6},
        FaultCase{"CopyCannotBeAllocated", Input::kFile, kKrtCallAlloc, 1, 4},
        FaultCase{"SpanReadFails", Input::kFile, kKrtCallRead, 2, 6},
        FaultCase{"FileLookupTableCannotBeAllocated", Input::kFile, kKrtCallAlloc, 2, 4},
        FaultCase{"FileInfoBlockCannotBeAllocated", Input::kFile, kKrtCallAlloc, 3, 4},
        FaultCase{"FileInfoBlockCannotBeLocked", Input::kFile, kKrtCallLock, 1, 4},
        FaultCase{"FilePixelBlockCannotBeAllocated", Input::kFile, kKrtCallAlloc, 4, 4},
        FaultCase{"FilePixelBlockCannotBeLocked", Input::kFile, kKrtCallLock, 2, 4},
        FaultCase{"LookupTableCannotBeAllocated", Input::kMemory, kKrtCallAlloc, 1, 4},
        FaultCase{"InfoBlockCannotBeAllocated", Input::kMemory, kKrtCallAlloc, 2, 4},
        FaultCase{"InfoBlockCannotBeLocked", Input::kMemory, kKrtCallLock, 1, 4},
        FaultCase{"PixelBlockCannotBeAllocated", Input::kMemory, kKrtCallAlloc, 3, 4},
        FaultCase{"PixelBlockCannotBeLocked", Input::kMemory, kKrtCallLock, 2, 4},
        FaultCase{"StopOnEntry", Input::kFile, {}, 1, 1, LookupScreen, 0, 0},
        FaultCase{"StopAfterLoadingAFile", Input::kFile, {}, 1, 1, LookupScreen, 0, 1},
        FaultCase{"StopAfterLoadingAnImage", Input::kMemory, {}, 1, 1, LookupScreen, 0, 1},
        // The screen is 3444 bytes: 44 of them follow the offset.
        FaultCase{"ShortHeaderRead", Input::kFile, {}, 1, 6, LookupScreen, 3400},
        FaultCase{"InvalidHeader",
                  Input::kFile,
                  {},
                  1,
                  3,
                  [] {
                    auto bytes = LookupScreen();
                    bytes[0] = 0;
                    return bytes;
                  }},
        FaultCase{"ShortSpanRead",
                  Input::kFile,
                  {},
                  1,
                  6,
                  [] {
                    // The header at 10, checked against the whole file.
                    auto bytes = LookupScreen();
                    bytes.insert(bytes.begin(), 10, 0);
                    bytes.resize(bytes.size() - 5);
                    return bytes;
                  },
                  10},
        FaultCase{"ShortImage", Input::kMemory, {}, 1, 3, LookupScreen, 95},
        FaultCase{"InvalidImageHeader", Input::kMemory, {}, 1, 3, LookupScreen, 300},
        FaultCase{"RowTestFails",
                  Input::kFile,
                  {},
                  1,
                  2,
                  [] {
                    ScreenPlan plan;
                    plan.bytes_per_page = 2112;
                    plan.names = {1};
                    return krt::test::BuildScreenFile(plan);
                  }},
        FaultCase{"NothingToShow",
                  Input::kFile,
                  {},
                  1,
                  3,
                  [] { return krt::test::BuildScreenFile(ScreenPlan{}); }}),
    [](const testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.what); });

struct InfoFaultCase {
  const char* what;
  KrtPlatformCall fail;
  uint32_t nth;
  int32_t expected;
};

class PictureInfoFaults : public testing::TestWithParam<InfoFaultCase> {};

// GetPictureInfo on a file: open, size, seek, read (header), seek, alloc
// (copy), read (span).
TEST_P(PictureInfoFaults, FailsCleanlyAndLeavesTheRecord) {
  const InfoFaultCase& c = GetParam();
  const std::string path = krt::test::WriteTempFile(LookupScreen(), "info-fault.2D");
  const int32_t files = KrtPlatformOpenFiles();
  const int32_t blocks = KrtPlatformLiveBlocks();
  krt::PictureInfo record;
  std::memset(&record, 0x6B, sizeof record);
  const krt::PictureInfo before = record;
  KrtPlatformReset();
  KrtPlatformFailNth(c.fail, c.nth);
  EXPECT_EQ(Ifkrt().GetPictureInfo(path.c_str(), 0, 0, &record), c.expected);
  EXPECT_TRUE(KrtPlatformFailureFired(c.fail));
  KrtPlatformReset();
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
  EXPECT_EQ(KrtPlatformOpenFiles(), files);
  EXPECT_EQ(KrtPlatformLiveBlocks(), blocks);
  krt::test::RemoveFile(path);
}

INSTANTIATE_TEST_SUITE_P(GetPictureInfoTable, PictureInfoFaults,
                         testing::Values(InfoFaultCase{"OpenFails", kKrtCallOpen, 1, 6},
                                         InfoFaultCase{"SizeQueryFails", kKrtCallSize, 1, 6},
                                         InfoFaultCase{"SeekToHeaderFails", kKrtCallSeek, 1, 6},
                                         InfoFaultCase{"HeaderReadFails", kKrtCallRead, 1, 6},
                                         InfoFaultCase{"SeekToSectionsFails", kKrtCallSeek, 2, 6},
                                         InfoFaultCase{"CopyCannotBeAllocated", kKrtCallAlloc, 1,
                                                       4},
                                         InfoFaultCase{"SpanReadFails", kKrtCallRead, 2, 6}),
                         [](const testing::TestParamInfo<InfoFaultCase>& param) {
                           return std::string(param.param.what);
                         });

// --- What a successful call leaves ---------------------------------------------

TEST(PictureCalls, FileIsReadInTwoReadsAndClosed) {
  const auto screen = LookupScreen();
  const std::string path = krt::test::WriteTempFile(screen, "two-reads.2D");
  const int32_t files = KrtPlatformOpenFiles();
  const int32_t blocks = KrtPlatformLiveBlocks();

  KrtPlatformReset();
  krt::PictureInfo record{};
  ASSERT_EQ(Ifkrt().GetPictureInfo(path.c_str(), 0, 0, &record), 0);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallRead), 2u);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 1u);
  // The copy holds the descriptor and the pattern name table, no more.
  EXPECT_EQ(KrtPlatformLargestRequest(),
            krt::test::SectionOffset(screen, 2) - krt::test::SectionOffset(screen, 0));
  EXPECT_EQ(KrtPlatformOpenFiles(), files);
  EXPECT_EQ(KrtPlatformLiveBlocks(), blocks);

  KrtPlatformReset();
  krt::MemoryHandle info = nullptr;
  krt::MemoryHandle pixels = nullptr;
  ASSERT_EQ(Ifkrt().GetPicture(path.c_str(), 0, 0, &info, &pixels, nullptr, 0), 0);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallRead), 2u);
  EXPECT_EQ(KrtPlatformOpenFiles(), files);
  // Only the two handed-over blocks remain, unlocked.
  EXPECT_EQ(KrtPlatformLiveBlocks(), blocks + 2);
  EXPECT_EQ(KrtPlatformLockCount(info), 0);
  EXPECT_EQ(KrtPlatformLockCount(pixels), 0);
  EXPECT_EQ(LocalSize(info), 1064u);
  EXPECT_EQ(LocalSize(pixels), 3u * 24 * 16);
  LocalFree(info);
  LocalFree(pixels);
  krt::test::RemoveFile(path);
}

TEST(PictureCalls, MemoryImageIsReadInPlace) {
  const auto screen = LookupScreen();
  KrtPlatformReset();
  krt::MemoryHandle info = nullptr;
  krt::MemoryHandle pixels = nullptr;
  ASSERT_EQ(Ifkrt().GetPicture(reinterpret_cast<const char*>(screen.data()),
                               static_cast<int32_t>(screen.size()), 1, &info, &pixels, nullptr, 0),
            0);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallOpen), 0u);
  // The lookup table and the two blocks; no copy of the image.
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 3u);
  LocalFree(info);
  LocalFree(pixels);
}

// A colour table of 1431655800 bytes needs a lookup table of 3 x that - 48
// = 4294967352 bytes: past 32 bits, refused before anything is allocated,
// never wrapped to a 56-byte block. The image is a lazily mapped region, so
// only its first pages are ever touched.
TEST(PictureCalls, LookupTablePast32BitsIsRefused) {
  auto screen = LookupScreen();
  const uint32_t colour_offset = krt::test::SectionOffset(screen, 3);
  const uint32_t colour_size = 1431655800u;
  krt::test::SetSection(screen, 3, colour_offset, colour_size);
  const size_t length = size_t{colour_offset} + colour_size;
  void* region = mmap(nullptr, length, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(region, MAP_FAILED);
  std::memcpy(region, screen.data(), screen.size());
  const auto* source = static_cast<const char*>(region);

  krt::PictureInfo record{};
  ASSERT_EQ(Ifkrt().GetPictureInfo(source, static_cast<int32_t>(length), 1, &record), 0);
  EXPECT_EQ(record.colour_depth, 24);
  KrtPlatformReset();
  krt::MemoryHandle info = kHostSlot;
  krt::MemoryHandle pixels = kHostSlot;
  EXPECT_EQ(Ifkrt().GetPicture(source, static_cast<int32_t>(length), 1, &info, &pixels, nullptr, 0),
            4);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 0u);
  EXPECT_EQ(info, kHostSlot);
  EXPECT_EQ(pixels, kHostSlot);
  munmap(region, length);
}

}  // namespace
