#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform_control.h"
#include "screen_builder.h"

namespace {

class PlatformTest : public testing::Test {
 protected:
  void SetUp() override {
    KrtPlatformReset();
    blocks_before_ = KrtPlatformLiveBlocks();
    files_before_ = KrtPlatformOpenFiles();
  }
  void TearDown() override {
    KrtPlatformReset();
    EXPECT_EQ(KrtPlatformLiveBlocks(), blocks_before_);
    EXPECT_EQ(KrtPlatformOpenFiles(), files_before_);
  }
  HANDLE OpenFile(const std::vector<uint8_t>& bytes) {
    path_ = krt::test::WriteTempFile(bytes, "platform.bin");
    return CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  void CheckReAllocation();
  std::string path_;
  int32_t blocks_before_ = 0;
  int32_t files_before_ = 0;
};

TEST_F(PlatformTest, FileHandlesAreSmallDescriptorsAndCounted) {
  HANDLE file = OpenFile(std::vector<uint8_t>(10, 1));
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_LT(reinterpret_cast<uintptr_t>(file), 0x10000u);
  EXPECT_EQ(KrtPlatformOpenFiles(), files_before_ + 1);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(CreateFileA("/no/such/file", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr),
            INVALID_HANDLE_VALUE);
}

TEST_F(PlatformTest, ShortReadIsASuccessfulCall) {
  HANDLE file = OpenFile(std::vector<uint8_t>(10, 1));
  uint8_t buffer[20];
  DWORD got = 99;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(got, 10u);
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(got, 0u);
  CloseHandle(file);
}

TEST_F(PlatformTest, SeekSizeAndTheirFailures) {
  HANDLE file = OpenFile(std::vector<uint8_t>(300, 1));
  EXPECT_EQ(GetFileSize(file, nullptr), 300u);
  EXPECT_EQ(SetFilePointer(file, 1000, nullptr, FILE_BEGIN), 1000u);  // past the end is allowed
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(SetFilePointer(file, -10, nullptr, FILE_END), 290u);
  EXPECT_EQ(SetFilePointer(file, 5, nullptr, FILE_CURRENT), 295u);
  EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
  CloseHandle(file);
}

TEST_F(PlatformTest, EachKindFailsOnItsNthCallOnce) {
  HANDLE file = OpenFile(std::vector<uint8_t>(100, 1));
  KrtPlatformFailNth(kKrtCallSize, 2);
  EXPECT_EQ(GetFileSize(file, nullptr), 100u);
  EXPECT_FALSE(KrtPlatformFailureFired(kKrtCallSize));
  EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
  EXPECT_TRUE(KrtPlatformFailureFired(kKrtCallSize));
  EXPECT_EQ(GetFileSize(file, nullptr), 100u);

  KrtPlatformFailNth(kKrtCallSeek, 1);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  KrtPlatformFailNth(kKrtCallRead, 1);
  uint8_t byte = 0;
  DWORD got = 5;
  EXPECT_FALSE(ReadFile(file, &byte, 1, &got, nullptr));
  EXPECT_EQ(got, 0u);
  CloseHandle(file);

  KrtPlatformFailNth(kKrtCallOpen, 1);
  EXPECT_EQ(OpenFile({1}), INVALID_HANDLE_VALUE);
  KrtPlatformFailNth(kKrtCallAlloc, 1);
  EXPECT_EQ(LocalAlloc(LHND, 10), nullptr);
  KrtPlatformFailNth(kKrtCallAlloc, 1);
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, 10), nullptr);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 2u);
}

TEST_F(PlatformTest, MovableBlocksCountLocksAndHonourZeroFill) {
  HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, 64);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LocalSize(block), 64u);
  auto* bytes = static_cast<uint8_t*>(LocalLock(block));
  ASSERT_NE(bytes, nullptr);
  EXPECT_NE(static_cast<void*>(bytes), block);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 64), std::vector<uint8_t>(64, 0));
  EXPECT_EQ(LocalLock(block), bytes);
  EXPECT_EQ(KrtPlatformLockCount(block), 2);
  EXPECT_TRUE(LocalUnlock(block));    // still locked once
  EXPECT_FALSE(LocalUnlock(block));   // now unlocked
  EXPECT_FALSE(LocalUnlock(block));   // was not locked
  EXPECT_EQ(KrtPlatformLockCount(block), 0);
  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(LocalSize(block), 0u);
}

TEST_F(PlatformTest, BlocksWithoutZeroFillAreNotZero) {
  HLOCAL block = LocalAlloc(LMEM_FIXED, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LocalLock(block), block);  // a fixed block's handle is its address
  EXPECT_NE(static_cast<uint8_t*>(block)[0], 0);
  LocalFree(block);
}

TEST_F(PlatformTest, ReAllocationKeepsBytesZeroFillsGrowthAndMayFail) {
  for (bool moving : {false, true}) {
    SCOPED_TRACE(moving ? "moving" : "in place");
    KrtPlatformMoveOnReAlloc(moving);
    CheckReAllocation();
  }
  KrtPlatformMoveOnReAlloc(false);
}

TEST_F(PlatformTest, MovingReAllocationAlwaysChangesTheBytesAddress) {
  KrtPlatformMoveOnReAlloc(true);
  HLOCAL block = LocalAlloc(LHND, 4);
  void* before = LocalLock(block);
  LocalUnlock(block);
  ASSERT_EQ(LocalReAlloc(block, 4, LMEM_MOVEABLE), block);
  EXPECT_NE(LocalLock(block), before);
  LocalUnlock(block);
  LocalFree(block);
  KrtPlatformMoveOnReAlloc(false);
}

void PlatformTest::CheckReAllocation() {
  HLOCAL block = LocalAlloc(LHND, 4);
  auto* bytes = static_cast<uint8_t*>(LocalLock(block));
  std::memcpy(bytes, "abcd", 4);
  LocalUnlock(block);
  HLOCAL grown = LocalReAlloc(block, 8, LMEM_MOVEABLE | LMEM_ZEROINIT);
  ASSERT_EQ(grown, block);
  bytes = static_cast<uint8_t*>(LocalLock(grown));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 8), std::string("abcd\0\0\0\0", 8));
  LocalUnlock(grown);
  KrtPlatformFailNth(kKrtCallRealloc, 1);
  EXPECT_EQ(LocalReAlloc(grown, 16, LMEM_MOVEABLE | LMEM_ZEROINIT), nullptr);
  EXPECT_EQ(LocalSize(grown), 8u);  // the old block is still whole
  EXPECT_EQ(KrtPlatformLargestRequest(), 16u);
  LocalFree(grown);
}

TEST_F(PlatformTest, UnknownHandlesAreRefused) {
  int not_a_block = 0;
  EXPECT_EQ(LocalLock(&not_a_block), nullptr);
  EXPECT_EQ(LocalFree(&not_a_block), &not_a_block);
  EXPECT_EQ(LocalSize(&not_a_block), 0u);
}

TEST_F(PlatformTest, WsprintfFormatsEntryNames) {
  char text[32];
  EXPECT_EQ(wsprintfA(text, "%03d.2D", 7), 6);
  EXPECT_STREQ(text, "007.2D");
  EXPECT_EQ(wsprintfA(text, "%03d.2D", 1000), 7);
  EXPECT_STREQ(text, "1000.2D");
}

TEST_F(PlatformTest, WriteFileAndDeleteFile) {
  const std::string path = krt::test::WriteTempFile({}, "written.bin");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD put = 0;
  EXPECT_TRUE(WriteFile(file, "xyz", 3, &put, nullptr));
  EXPECT_EQ(put, 3u);
  KrtPlatformFailNth(kKrtCallWrite, 1);
  EXPECT_FALSE(WriteFile(file, "xyz", 3, &put, nullptr));
  EXPECT_EQ(put, 0u);
  EXPECT_EQ(GetFileSize(file, nullptr), 3u);
  CloseHandle(file);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  EXPECT_FALSE(DeleteFileA(path.c_str()));
}

}  // namespace
