// AXKRT's exports when the platform fails: every failure gives its result
// code, frees what was allocated, closes what was opened, clears the slot or
// the record, and leaves no destination file behind. Also what a listing
// reads and allocates, counted through the stand-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "archive_calls.h"
#include "loaded_plugins.h"
#include "pack_samples.h"
#include "platform_control.h"
#include "screen_builder.h"

namespace {

using krt::kMemoryInput;
using krt::kMemoryOutput;
using krt::test::Axkrt;

// Anything but 0, to see that the slot is cleared or left alone.
krt::MemoryHandle const kStale = krt::host::UntouchedSlot();

// Three screens and a 200-byte trailer: a file listing reads four windows.
krt::test::PackPlan FaultPack() {
  krt::test::PackPlan plan;
  plan.screens = {krt::test::BuildScreenFile(krt::test::ScreenPlan{}), krt::test::SmallestScreen(),
                  krt::test::BuildScreenFile(krt::test::ScreenPlan{})};
  plan.gaps_before = {4, 0, 12};
  plan.trailer.assign(200, 0);
  return plan;
}

struct Fault {
  KrtPlatformCall kind;
  uint32_t nth;
  int32_t result;
};

std::string Describe(const Fault& fault) {
  static const char* const kNames[] = {"Open",  "Size",  "Seek",    "Read",
                                       "Write", "Alloc", "Realloc", "Lock"};
  return std::string(kNames[fault.kind]) + "_" + std::to_string(fault.nth);
}

std::string FaultName(const testing::TestParamInfo<Fault>& info) { return Describe(info.param); }

// Counts what a test leaves behind, and disarms every failure afterwards.
// Every re-allocation moves the list's bytes meanwhile, so a pointer kept
// across one would be caught.
class PlatformLedger {
 public:
  PlatformLedger() {
    KrtPlatformReset();
    KrtPlatformMoveOnReAlloc(true);
    blocks_ = KrtPlatformLiveBlocks();
    files_ = KrtPlatformOpenFiles();
  }
  ~PlatformLedger() {
    KrtPlatformReset();
    KrtPlatformMoveOnReAlloc(false);
    EXPECT_EQ(KrtPlatformLiveBlocks(), blocks_) << "a block was leaked";
    EXPECT_EQ(KrtPlatformOpenFiles(), files_) << "a file was left open";
  }
  void Arm(const Fault& fault) { KrtPlatformFailNth(fault.kind, fault.nth); }

 private:
  int32_t blocks_ = 0;
  int32_t files_ = 0;
};

struct PackFile {
  PackFile()
      : bytes(krt::test::BuildPack(FaultPack())), path(krt::test::WriteTempFile(bytes, "f.BIN")) {}
  ~PackFile() { krt::test::RemoveFile(path); }
  const char* image() const { return reinterpret_cast<const char*>(bytes.data()); }
  int32_t length() const { return static_cast<int32_t>(bytes.size()); }
  std::vector<uint8_t> bytes;
  std::string path;
};

// --- IsSupported -------------------------------------------------------------

class DetectionFaults : public testing::TestWithParam<Fault> {};

TEST_P(DetectionFaults, AnswerZeroAndLeaveTheHostHandleUsable) {
  PackFile pack;
  HANDLE file = CreateFileA(pack.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const auto source = reinterpret_cast<uintptr_t>(file);
  {
    PlatformLedger ledger;
    ledger.Arm(GetParam());
    EXPECT_EQ(Axkrt().IsSupported("f.BIN", source), 0);
    EXPECT_TRUE(KrtPlatformFailureFired(GetParam().kind));
  }
  EXPECT_EQ(Axkrt().IsSupported("f.BIN", source), 1);
  EXPECT_TRUE(CloseHandle(file));
}

INSTANTIATE_TEST_SUITE_P(Table, DetectionFaults,
                         testing::Values(Fault{kKrtCallSize, 1, 0}, Fault{kKrtCallSeek, 1, 0},
                                         Fault{kKrtCallRead, 1, 0}),
                         FaultName);

// --- GetArchiveInfo ----------------------------------------------------------

struct ListingFault {
  Fault fault;
  bool memory_input;
};

std::string ListingFaultName(const testing::TestParamInfo<ListingFault>& info) {
  return std::string(info.param.memory_input ? "Image_" : "File_") + Describe(info.param.fault);
}

class ListingFaults : public testing::TestWithParam<ListingFault> {};

TEST_P(ListingFaults, ClearTheSlotAndReleaseEverything) {
  const ListingFault& c = GetParam();
  PackFile pack;
  krt::MemoryHandle slot = kStale;
  {
    PlatformLedger ledger;
    ledger.Arm(c.fault);
    const int32_t result =
        c.memory_input ? Axkrt().GetArchiveInfo(pack.image(), pack.length(), kMemoryInput, &slot)
                       : Axkrt().GetArchiveInfo(pack.path.c_str(), 0, 0, &slot);
    EXPECT_EQ(result, c.fault.result);
    EXPECT_TRUE(KrtPlatformFailureFired(c.fault.kind));
  }
  EXPECT_EQ(slot, nullptr);
}

constexpr bool kFromImage = true, kFromFile = false;

INSTANTIATE_TEST_SUITE_P(
    Table, ListingFaults,
    testing::Values(ListingFault{{kKrtCallOpen, 1, krt::kFileError}, kFromFile},
                    ListingFault{{kKrtCallSize, 1, krt::kFileError}, kFromFile},
                    ListingFault{{kKrtCallAlloc, 1, krt::kAllocationFailed}, kFromFile},
                    // Reads while listing: before any entry, after some, and
                    // of the window after the last screen.
                    ListingFault{{kKrtCallSize, 2, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallSeek, 1, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallRead, 1, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallSeek, 3, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallRead, 2, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallRead, 4, krt::kNotValidData}, kFromFile},
                    // Growing the list.
                    ListingFault{{kKrtCallRealloc, 1, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallRealloc, 3, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallLock, 1, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallLock, 2, krt::kNotValidData}, kFromFile},
                    ListingFault{{kKrtCallAlloc, 1, krt::kAllocationFailed}, kFromImage},
                    ListingFault{{kKrtCallRealloc, 2, krt::kNotValidData}, kFromImage},
                    ListingFault{{kKrtCallLock, 3, krt::kNotValidData}, kFromImage}),
    ListingFaultName);

// --- GetFileInfo -------------------------------------------------------------

class LookupFaults : public testing::TestWithParam<Fault> {};

TEST_P(LookupFaults, LeaveAZeroRecordAndNothingOpen) {
  PackFile pack;
  krt::fileInfo record;
  std::memset(&record, 0xEE, sizeof record);
  {
    PlatformLedger ledger;
    ledger.Arm(GetParam());
    EXPECT_EQ(Axkrt().GetFileInfo(pack.path.c_str(), 0, "002.2D", 0, &record), GetParam().result);
    EXPECT_TRUE(KrtPlatformFailureFired(GetParam().kind));
    EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 0u);
  }
  EXPECT_EQ(krt::test::RecordBytes(record), std::vector<uint8_t>(sizeof record, 0));
}

INSTANTIATE_TEST_SUITE_P(Table, LookupFaults,
                         testing::Values(Fault{kKrtCallOpen, 1, krt::kFileError},
                                         Fault{kKrtCallSize, 1, krt::kFileError},
                                         Fault{kKrtCallSize, 3, krt::kFileError},
                                         Fault{kKrtCallSeek, 2, krt::kFileError},
                                         Fault{kKrtCallRead, 1, krt::kFileError},
                                         Fault{kKrtCallRead, 3, krt::kFileError}),
                         FaultName);

// --- GetFile -----------------------------------------------------------------

struct CallLog {
  std::vector<std::pair<int32_t, int32_t>> calls;
};

int32_t KRT_STDCALL LogProgress(int32_t numerator, int32_t denominator, intptr_t user_value) {
  reinterpret_cast<CallLog*>(user_value)->calls.emplace_back(numerator, denominator);
  return 0;
}

using Calls = std::vector<std::pair<int32_t, int32_t>>;

struct ExtractFault {
  Fault fault;
  bool memory_input;
  bool memory_output;
  bool destination_existed;  // for disk output: a file was there before
};

std::string ExtractFaultName(const testing::TestParamInfo<ExtractFault>& info) {
  const ExtractFault& c = info.param;
  return std::string(c.memory_input ? "Image" : "File") +
         (c.memory_output ? "ToMemory_" : "ToDisk_") + Describe(c.fault) +
         (c.destination_existed ? "_Replacing" : "");
}

class ExtractionFaults : public testing::TestWithParam<ExtractFault> {};

TEST_P(ExtractionFaults, ReleaseEverythingAndLeaveNoDestination) {
  const ExtractFault& c = GetParam();
  PackFile pack;
  const size_t second = krt::test::ScreenPositions(FaultPack())[1];
  std::string destination = krt::test::FreshPath("out.2D");
  if (c.destination_existed) {
    destination = krt::test::WriteTempFile(std::vector<uint8_t>(5000, 0x11), "old.2D");
  }
  krt::MemoryHandle slot = kStale;
  char* to = c.memory_output ? reinterpret_cast<char*>(&slot) : destination.data();
  const uint32_t flag = (c.memory_input ? kMemoryInput : 0) | (c.memory_output ? kMemoryOutput : 0);
  const char* source = c.memory_input ? pack.image() + second : pack.path.c_str();
  const int32_t position_or_length =
      c.memory_input ? pack.length() - static_cast<int32_t>(second) : static_cast<int32_t>(second);

  CallLog log;
  {
    PlatformLedger ledger;
    ledger.Arm(c.fault);
    EXPECT_EQ(Axkrt().GetFile(source, position_or_length, to, flag, LogProgress,
                              reinterpret_cast<intptr_t>(&log)),
              c.fault.result);
    EXPECT_TRUE(KrtPlatformFailureFired(c.fault.kind));
  }
  EXPECT_EQ(log.calls, (Calls{{0, 1}}));  // no call after a failure
  EXPECT_EQ(slot, kStale);
  if (!c.memory_output) {
    EXPECT_FALSE(krt::test::FileExists(destination));
  }
  krt::test::RemoveFile(destination);
}

constexpr bool kImage = true, kFile = false, kMemory = true, kDisk = false;

INSTANTIATE_TEST_SUITE_P(
    Table, ExtractionFaults,
    testing::Values(
        // The source: open, the window's read, the body's read.
        ExtractFault{{kKrtCallOpen, 1, krt::kFileError}, kFile, kMemory, false},
        ExtractFault{{kKrtCallSize, 1, krt::kFileError}, kFile, kMemory, false},
        ExtractFault{{kKrtCallSeek, 1, krt::kFileError}, kFile, kMemory, false},
        ExtractFault{{kKrtCallRead, 1, krt::kFileError}, kFile, kMemory, false},
        ExtractFault{{kKrtCallSize, 2, krt::kFileError}, kFile, kMemory, false},
        ExtractFault{{kKrtCallSeek, 2, krt::kFileError}, kFile, kMemory, false},
        ExtractFault{{kKrtCallRead, 2, krt::kFileError}, kFile, kMemory, false},
        ExtractFault{{kKrtCallRead, 2, krt::kFileError}, kFile, kDisk, false},
        // The entry's block.
        ExtractFault{{kKrtCallAlloc, 1, krt::kAllocationFailed}, kFile, kMemory, false},
        ExtractFault{{kKrtCallLock, 1, krt::kLockFailed}, kFile, kMemory, false},
        ExtractFault{{kKrtCallAlloc, 1, krt::kAllocationFailed}, kFile, kDisk, false},
        ExtractFault{{kKrtCallAlloc, 1, krt::kAllocationFailed}, kImage, kMemory, false},
        ExtractFault{{kKrtCallLock, 1, krt::kLockFailed}, kImage, kMemory, false},
        // The destination: creation, and a write that fails, whose partial
        // file is removed whether it was new or replaced an old one.
        ExtractFault{{kKrtCallOpen, 2, krt::kFileError}, kFile, kDisk, false},
        ExtractFault{{kKrtCallOpen, 1, krt::kFileError}, kImage, kDisk, false},
        ExtractFault{{kKrtCallWrite, 1, krt::kFileError}, kFile, kDisk, false},
        ExtractFault{{kKrtCallWrite, 1, krt::kFileError}, kFile, kDisk, true},
        ExtractFault{{kKrtCallWrite, 1, krt::kFileError}, kImage, kDisk, false},
        ExtractFault{{kKrtCallWrite, 1, krt::kFileError}, kImage, kDisk, true}),
    ExtractFaultName);

TEST(ExtractionStops, CallbackStopBeforeOpeningOrAllocating) {
  PackFile pack;
  std::string destination = krt::test::FreshPath("stop.2D");
  auto stop = [](int32_t, int32_t, intptr_t) -> int32_t { return 1; };
  PlatformLedger ledger;
  EXPECT_EQ(Axkrt().GetFile(pack.path.c_str(), 4, destination.data(), 0, stop, 0),
            krt::kStoppedByCallback);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallOpen), 0u);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 0u);
}

// --- What the exports read, allocate and hand over ------------------------------

TEST(ArchiveCosts, FileListingReadsOneWindowPerScreenAndNoBody) {
  for (const bool trailer : {false, true}) {
    krt::test::PackPlan plan = FaultPack();
    plan.screens.push_back(plan.screens[0]);
    plan.screens.push_back(plan.screens[1]);
    if (!trailer) plan.trailer.clear();
    const std::string path = krt::test::WriteTempFile(krt::test::BuildPack(plan), "count.BIN");
    PlatformLedger ledger;
    const krt::test::Listing listing = krt::test::ListFile(path, 0);
    ASSERT_EQ(listing.records.size(), 5u);
    // One window per screen, and one more that finds the trailer is no screen.
    EXPECT_EQ(KrtPlatformCallCount(kKrtCallRead), trailer ? 6u : 5u);
    EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 1u);
    // The list grows four times one record, then by two, and is cut back to
    // the five records at the end.
    EXPECT_EQ(KrtPlatformCallCount(kKrtCallRealloc), 6u);
    EXPECT_EQ(KrtPlatformLargestRequest(), 6u * sizeof(krt::fileInfo) + krt::test::ListEndMark());
    EXPECT_EQ(listing.block_size, 5u * sizeof(krt::fileInfo) + krt::test::ListEndMark());
    krt::test::RemoveFile(path);
  }
}

TEST(ArchiveCosts, LookupStopsAtTheEntryAndImageModeReadsNothing) {
  PackFile pack;
  PlatformLedger ledger;
  krt::fileInfo record;
  EXPECT_EQ(Axkrt().GetFileInfo(pack.path.c_str(), 0, "001.2D", 0, &record), krt::kSuccess);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallRead), 2u);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallOpen), 1u);

  KrtPlatformReset();
  EXPECT_EQ(Axkrt().GetFileInfo(pack.image(), pack.length(), "002.2D", kMemoryInput, &record),
            krt::kSuccess);
  EXPECT_EQ(krt::test::ListImage(pack.bytes).records.size(), 3u);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallOpen), 0u);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallRead), 0u);
}

TEST(ArchiveCosts, HandedOverBlocksAreUnlockedAndExactlySized) {
  PackFile pack;
  const krt::test::PackPlan plan = FaultPack();
  PlatformLedger ledger;

  krt::MemoryHandle list = nullptr;
  ASSERT_EQ(Axkrt().GetArchiveInfo(pack.path.c_str(), 0, 0, &list), krt::kSuccess);
  EXPECT_EQ(KrtPlatformLockCount(list), 0);
  EXPECT_EQ(LocalSize(list), 3u * sizeof(krt::fileInfo) + krt::test::ListEndMark());
  LocalFree(list);

  krt::MemoryHandle entry = nullptr;
  const auto position = static_cast<int32_t>(krt::test::ScreenPositions(plan)[2]);
  KrtPlatformReset();
  ASSERT_EQ(Axkrt().GetFile(pack.path.c_str(), position, reinterpret_cast<char*>(&entry),
                            kMemoryOutput, nullptr, 0),
            krt::kSuccess);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallRead), 2u);  // the window, then the screen
  EXPECT_EQ(KrtPlatformLockCount(entry), 0);
  EXPECT_EQ(krt::test::TakeBlock(entry), plan.screens[2]);
}

}  // namespace
