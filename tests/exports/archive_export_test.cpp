// AXKRT through its exports, loaded as a host loads it: detection, listing,
// lookup by name and extraction, and their agreement on generated packs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive_calls.h"
#include "loaded_plugins.h"
#include "pack_samples.h"
#include "screen_builder.h"

namespace {

using krt::kDiskOutput;
using krt::kMemoryInput;
using krt::kMemoryOutput;
using namespace krt::test;

std::vector<uint8_t> DefaultScreen() { return BuildScreenFile(ScreenPlan{}); }

// Three screens after 4, 8 and 0 gap bytes, and 200 zero bytes after them.
PackPlan ThreeScreenPack() {
  PackPlan plan;
  ScreenPlan with_fifth;
  with_fifth.fifth_section = std::vector<uint8_t>(40, 0x77);
  plan.screens = {DefaultScreen(), BuildScreenFile(with_fifth), krt::test::SmallestScreen()};
  plan.gaps_before = {4, 8, 0};
  plan.gap_fill = 0xCC;
  plan.trailer.assign(200, 0);
  return plan;
}

struct TempFile {
  explicit TempFile(const std::vector<uint8_t>& bytes, const std::string& stem = "pack.BIN")
      : path(krt::test::WriteTempFile(bytes, stem)) {
    EXPECT_FALSE(path.empty());
  }
  ~TempFile() { krt::test::RemoveFile(path); }
  std::string path;
};

class ArchiveExports : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Axkrt().IsSupported, nullptr);
    ASSERT_NE(Axkrt().GetArchiveInfo, nullptr);
    ASSERT_NE(Axkrt().GetFileInfo, nullptr);
    ASSERT_NE(Axkrt().GetFile, nullptr);
  }
};

// --- IsSupported -----------------------------------------------------------

int32_t JudgeFile(const std::vector<uint8_t>& bytes) {
  TempFile file(bytes);
  HANDLE handle = OpenHostHandle(file.path);
  EXPECT_NE(handle, INVALID_HANDLE_VALUE);
  const int32_t answer = Axkrt().IsSupported("pack.BIN", reinterpret_cast<uintptr_t>(handle));
  EXPECT_TRUE(CloseHandle(handle));
  return answer;
}

using IsSupportedArchive = ArchiveExports;

TEST_F(IsSupportedArchive, HostHandleIsReadFromTheStartAndLeftOpen) {
  const std::vector<uint8_t> pack = BuildPack(ThreeScreenPack());
  TempFile file(pack);
  HANDLE handle = OpenHostHandle(file.path);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  ASSERT_EQ(SetFilePointer(handle, 1000, nullptr, FILE_BEGIN), 1000u);

  EXPECT_EQ(Axkrt().IsSupported("pack.BIN", reinterpret_cast<uintptr_t>(handle)), 1);

  ExpectHandleLeftAt(handle, pack, 160);
}

TEST_F(IsSupportedArchive, FirstMagicAtFileOffsets4To64) {
  struct Case {
    uint32_t gap;
    int32_t answer;
  };
  const Case cases[] = {{0, 0}, {4, 1}, {32, 1}, {60, 1}, {64, 1}, {68, 0}, {6, 0}};
  for (const Case& c : cases) {
    PackPlan plan;
    plan.screens = {DefaultScreen()};
    plan.gaps_before = {c.gap};
    const std::vector<uint8_t> pack = BuildPack(plan);
    EXPECT_EQ(Axkrt().IsSupported("pack.BIN", AsSource(pack.data())), c.answer) << c.gap;
    EXPECT_EQ(JudgeFile(pack), c.answer) << c.gap;
  }
}

TEST_F(IsSupportedArchive, DamagedFirstScreenIsRefused) {
  PackPlan plan = ThreeScreenPack();
  krt::test::SetSection(plan.screens[0], 2, 0, 16);
  const std::vector<uint8_t> pack = BuildPack(plan);
  EXPECT_EQ(Axkrt().IsSupported("pack.BIN", AsSource(pack.data())), 0);
  EXPECT_EQ(JudgeFile(pack), 0);
}

TEST_F(IsSupportedArchive, ShortFileIsRefusedAndTheHandleStaysUsable) {
  const std::vector<uint8_t> pack = BuildPack(ThreeScreenPack());
  TempFile file(std::vector<uint8_t>(pack.begin(), pack.begin() + 159));
  HANDLE handle = OpenHostHandle(file.path);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Axkrt().IsSupported("pack.BIN", reinterpret_cast<uintptr_t>(handle)), 0);
  ASSERT_EQ(SetFilePointer(handle, 4, nullptr, FILE_BEGIN), 4u);
  char magic[15] = {};
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(handle, magic, sizeof magic, &got, nullptr));
  EXPECT_EQ(std::string(magic, got), "SEGA SATURN SCR");
  EXPECT_TRUE(CloseHandle(handle));
}

TEST_F(IsSupportedArchive, FirstScreenMayRunUpTo4BytesPastTheFile) {
  // The screen is judged against the whole file's size although the search
  // starts at byte 4; the listing judges it exactly and finds nothing.
  PackPlan plan;
  plan.screens = {DefaultScreen()};
  plan.gaps_before = {4};
  std::vector<uint8_t> pack = BuildPack(plan);
  pack.resize(pack.size() - 4);
  EXPECT_EQ(JudgeFile(pack), 1);
  TempFile file(pack);
  EXPECT_EQ(krt::test::ListFile(file.path, 0).result, krt::kNotValidData);
  pack.pop_back();
  EXPECT_EQ(JudgeFile(pack), 0);
}

// --- GetArchiveInfo ----------------------------------------------------------

// The name the listing gives an entry: at least three digits, then ".2D".
std::string EntryName(size_t index) {
  std::string digits = std::to_string(index);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return digits + ".2D";
}

void ExpectListing(const krt::test::Listing& listing, const PackPlan& plan, size_t entries,
                   uint32_t position_base = 0) {
  ASSERT_EQ(listing.result, krt::kSuccess);
  ASSERT_EQ(listing.records.size(), entries);
  EXPECT_EQ(listing.block_size, entries * ListRecordSize() + ListEndMark());
  EXPECT_TRUE(listing.ends_with_zero);
  const std::vector<size_t> positions = ScreenPositions(plan);
  for (size_t i = 0; i < entries; ++i) {
    const krt::fileInfo& record = listing.records[i];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.method), 8),
              std::string("AxKRT\0\0\0", 8));
    EXPECT_EQ(record.position, positions[i] + position_base) << i;
    EXPECT_EQ(record.compsize, plan.screens[i].size()) << i;
    EXPECT_EQ(record.filesize, plan.screens[i].size()) << i;
    EXPECT_EQ(std::string(record.filename), EntryName(i));
  }
}

using GetArchiveInfoExport = ArchiveExports;

TEST_F(GetArchiveInfoExport, ListsThreeScreensFromFileAndImage) {
  const PackPlan plan = ThreeScreenPack();
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  ExpectListing(krt::test::ListFile(file.path, 0), plan, 3);
  ExpectListing(krt::test::ListImage(pack), plan, 3);
}

TEST_F(GetArchiveInfoExport, StartOffsetInsideTheFile) {
  PackPlan plan = ThreeScreenPack();
  std::vector<uint8_t> pack(100, 0xAB);
  const std::vector<uint8_t> inner = BuildPack(plan);
  pack.insert(pack.end(), inner.begin(), inner.end());
  TempFile file(pack);
  ExpectListing(krt::test::ListFile(file.path, 100), plan, 3, 100);
}

TEST_F(GetArchiveInfoExport, DamagedSecondScreenEndsTheListing) {
  PackPlan plan = ThreeScreenPack();
  krt::test::SetSection(plan.screens[1], 1, 0x100, 0xFFFFFFFFu);
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  ExpectListing(krt::test::ListFile(file.path, 0), plan, 1);
  ExpectListing(krt::test::ListImage(pack), plan, 1);
}

TEST_F(GetArchiveInfoExport, NothingToListClearsTheSlot) {
  const std::vector<uint8_t> zeros(4096, 0);
  const std::vector<uint8_t> pack = BuildPack(ThreeScreenPack());
  TempFile no_screen(zeros);
  TempFile short_file(std::vector<uint8_t>(pack.begin(), pack.begin() + 159));
  struct Case {
    const char* what;
    krt::test::Listing listing;
    int32_t result;
  };
  const Case cases[] = {
      {"file without a screen", krt::test::ListFile(no_screen.path, 0), krt::kNotValidData},
      {"image without a screen", krt::test::ListImage(zeros), krt::kNotValidData},
      {"file shorter than a window", krt::test::ListFile(short_file.path, 0), krt::kNotValidData},
      {"start offset past the screens", krt::test::ListFile(no_screen.path, 5000),
       krt::kNotValidData},
      {"image of 159 bytes",
       krt::test::ListImage(std::vector<uint8_t>(pack.begin(), pack.begin() + 159)),
       krt::kNotValidData},
      {"missing file", krt::test::ListFile(no_screen.path + ".missing", 0), krt::kFileError},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.listing.result, c.result) << c.what;
    EXPECT_TRUE(c.listing.slot_cleared) << c.what;
  }
}

TEST_F(GetArchiveInfoExport, NullSlotRecordOrImageIsRefused) {
  const std::vector<uint8_t> pack = BuildPack(ThreeScreenPack());
  const auto* image = reinterpret_cast<const char*>(pack.data());
  const auto length = static_cast<int32_t>(pack.size());
  EXPECT_EQ(Axkrt().GetArchiveInfo(image, length, kMemoryInput, nullptr), krt::kBadArgument);
  EXPECT_EQ(Axkrt().GetFileInfo(image, length, "000.2D", kMemoryInput, nullptr), krt::kBadArgument);
  krt::MemoryHandle slot = nullptr;
  EXPECT_EQ(Axkrt().GetArchiveInfo(nullptr, length, kMemoryInput, &slot), krt::kBadArgument);
  EXPECT_EQ(slot, nullptr);
}

// A 64-bit host passes lengths and offsets whole; one beyond 32 bits is
// refused, not read as its low half (which here would succeed).
TEST_F(ArchiveExports, LengthsBeyondThirtyTwoBitsAreRefused) {
  if (sizeof(krt::LengthArgument) < 8) GTEST_SKIP() << "32-bit lengths cannot exceed 32 bits";
  const std::vector<uint8_t> pack = BuildPack(ThreeScreenPack());
  const std::vector<uint8_t> screen = DefaultScreen();
  TempFile file(pack);
  const auto high = static_cast<krt::LengthArgument>(uint64_t{1} << 32);
  krt::host::CallSource image = krt::host::MemorySource(pack);
  krt::host::CallSource path = krt::host::FileSource(file.path, 4);
  image.offset_or_length += high;
  path.offset_or_length += high;
  for (const krt::host::CallSource& source : {image, path}) {
    const int32_t refusal = source.flag == kMemoryInput ? krt::kBadArgument : krt::kFileError;
    EXPECT_EQ(krt::host::CallGetArchiveInfo(Axkrt(), source).result, refusal);
    EXPECT_EQ(krt::host::CallGetFileToMemory(Axkrt(), source, {}).result, refusal);
  }
  krt::PictureInfo info;
  EXPECT_EQ(
      Ifkrt().GetPictureInfo(reinterpret_cast<const char*>(screen.data()),
                             high + static_cast<krt::LengthArgument>(screen.size()), 1, &info),
      8);
  EXPECT_EQ(krt::host::CallGetPicture(Ifkrt(), {file.path.c_str(), high + 4, 0}, {}).result, 6);
}

// --- GetFileInfo -------------------------------------------------------------

struct Lookup {
  int32_t result;
  krt::fileInfo record;
};

Lookup LookUp(const std::string& path, int32_t offset, const char* name, uint32_t flag = 0) {
  Lookup lookup;
  std::memset(&lookup.record, 0xEE, sizeof lookup.record);
  lookup.result = Axkrt().GetFileInfo(path.c_str(), offset, name, flag, &lookup.record);
  return lookup;
}

Lookup LookUpImage(const std::vector<uint8_t>& image, const char* name, uint32_t flag = 0) {
  Lookup lookup;
  std::memset(&lookup.record, 0xEE, sizeof lookup.record);
  lookup.result = Axkrt().GetFileInfo(reinterpret_cast<const char*>(image.data()),
                                      static_cast<int32_t>(image.size()), name, flag | kMemoryInput,
                                      &lookup.record);
  return lookup;
}

bool IsZeroRecord(const krt::fileInfo& record) {
  return krt::test::RecordBytes(record) == std::vector<uint8_t>(sizeof record, 0);
}

using GetFileInfoExport = ArchiveExports;

TEST_F(GetFileInfoExport, NamesAndTheirEntries) {
  const PackPlan plan = ThreeScreenPack();
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  const krt::test::Listing listing = krt::test::ListFile(file.path, 0);
  ASSERT_EQ(listing.records.size(), 3u);

  struct Case {
    const char* name;
    uint32_t flag;
    int32_t result;
    int entry;  // index into the listing when found
  };
  const Case cases[] = {
      {"000.2D", 0, krt::kSuccess, 0},          {"002.2D", 0, krt::kSuccess, 2},
      {"000.2d", 0, krt::kBadArgument, -1},     {"001.2d", 0x80, krt::kSuccess, 1},
      {"abc.2D", 0, krt::kSuccess, 0},          {"000.2Dx", 0, krt::kSuccess, 0},
      {" +2.2D", 0x80, krt::kSuccess, 2},       {"12.2D", 0, krt::kBadArgument, -1},
      {"0001.2D", 0, krt::kBadArgument, -1},    {"-01.2D", 0, krt::kNotValidData, -1},
      {"003.2D", 0, krt::kNotValidData, -1},    {"0", 0x80, krt::kBadArgument, -1},
      {"1000.2D", 0, krt::kNotValidData, -1},   {"99999999999.2D", 0, krt::kNotValidData, -1},
      {"01000.2D", 0, krt::kBadArgument, -1},   {"1000.2d", 0, krt::kBadArgument, -1},
      {"1000.2Dx", 0, krt::kBadArgument, -1},   {"1000.2", 0, krt::kBadArgument, -1},
      {"001.2D", 0xFFFFFF78, krt::kSuccess, 1},  // unread bits ignored; input mode 0
  };
  for (const Case& c : cases) {
    for (const Lookup& lookup :
         {LookUp(file.path, 0, c.name, c.flag), LookUpImage(pack, c.name, c.flag & ~7u)}) {
      EXPECT_EQ(lookup.result, c.result) << c.name;
      if (c.entry < 0) {
        EXPECT_TRUE(IsZeroRecord(lookup.record)) << c.name;
      } else {
        EXPECT_EQ(krt::test::RecordBytes(lookup.record),
                  krt::test::RecordBytes(listing.records[static_cast<size_t>(c.entry)]))
            << c.name;
      }
    }
  }
}

TEST_F(GetFileInfoExport, FailuresLeaveAZeroRecord) {
  const std::vector<uint8_t> pack = BuildPack(ThreeScreenPack());
  TempFile short_file(std::vector<uint8_t>(pack.begin(), pack.begin() + 159));
  const Lookup cases[] = {
      LookUp(short_file.path, 0, "000.2D"),
      LookUp(short_file.path + ".missing", 0, "000.2D"),
      LookUpImage(std::vector<uint8_t>(pack.begin(), pack.begin() + 159), "000.2D"),
  };
  const int32_t results[] = {krt::kNotValidData, krt::kFileError, krt::kNotValidData};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(cases[i].result, results[i]) << i;
    EXPECT_TRUE(IsZeroRecord(cases[i].record)) << i;
  }
}

// --- GetFile -----------------------------------------------------------------

struct CallLog {
  static constexpr uint32_t kMark = 0xC0FFEE;
  uint32_t mark = kMark;  // shows that the user value came through unchanged
  int32_t answer = 0;
  std::vector<std::pair<int32_t, int32_t>> calls;
};

int32_t KRT_STDCALL LogProgress(int32_t numerator, int32_t denominator, intptr_t user_value) {
  auto* log = reinterpret_cast<CallLog*>(user_value);
  EXPECT_EQ(log->mark, CallLog::kMark);
  log->calls.emplace_back(numerator, denominator);
  return log->answer;
}

using Calls = std::vector<std::pair<int32_t, int32_t>>;

using GetFileExport = ArchiveExports;

TEST_F(GetFileExport, EveryEntryFromFileToMemoryAndToDisk) {
  const PackPlan plan = ThreeScreenPack();
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  const std::vector<size_t> positions = ScreenPositions(plan);
  for (size_t i = 0; i < plan.screens.size(); ++i) {
    const auto position = static_cast<int32_t>(positions[i]);
    const krt::test::Extracted to_memory =
        krt::test::ExtractFromFile(file.path, position, kMemoryOutput);
    EXPECT_EQ(to_memory.result, krt::kSuccess) << i;
    EXPECT_EQ(to_memory.bytes, plan.screens[i]) << i;

    const std::string destination = krt::test::FreshPath("out.2D");
    const krt::test::Extracted to_disk =
        krt::test::ExtractFromFile(file.path, position, kDiskOutput, destination);
    EXPECT_EQ(to_disk.result, krt::kSuccess) << i;
    EXPECT_EQ(to_disk.bytes, plan.screens[i]) << i;
    krt::test::RemoveFile(destination);
  }
}

TEST_F(GetFileExport, DiskOutputReplacesAFileAndReportsProgress) {
  const PackPlan plan = ThreeScreenPack();
  TempFile file(BuildPack(plan));
  TempFile existing(std::vector<uint8_t>(10000, 0x33), "existing.2D");
  CallLog log;
  char* destination = existing.path.data();
  EXPECT_EQ(Axkrt().GetFile(file.path.c_str(), 4, destination, 0, LogProgress,
                            reinterpret_cast<intptr_t>(&log)),
            krt::kSuccess);
  EXPECT_EQ(krt::test::ReadWholeFile(existing.path), plan.screens[0]);
  EXPECT_EQ(log.calls, (Calls{{0, 1}, {1, 1}}));
}

TEST_F(GetFileExport, PositionMayStandUpTo60BytesBeforeTheMagic) {
  const PackPlan plan = ThreeScreenPack();
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  const auto second = static_cast<int32_t>(ScreenPositions(plan)[1]);
  EXPECT_EQ(krt::test::ExtractFromFile(file.path, second - 4, kMemoryOutput).bytes,
            plan.screens[1]);
  // 60 bytes before the second magic lies inside the first screen, whose
  // bytes hold no magic at a multiple of 4 from there.
  EXPECT_EQ(krt::test::ExtractFromFile(file.path, second - 64, kMemoryOutput).result,
            krt::kFileError);
  EXPECT_EQ(krt::test::ExtractFromFile(file.path, second + 1, kMemoryOutput).result,
            krt::kFileError);
}

TEST_F(GetFileExport, MemoryInputBeginsAtTheEntry) {
  const PackPlan plan = ThreeScreenPack();
  const std::vector<uint8_t> pack = BuildPack(plan);
  const size_t second = ScreenPositions(plan)[1];
  // The image starts 8 bytes before the second magic.
  const std::vector<uint8_t> image(pack.begin() + static_cast<std::ptrdiff_t>(second - 8),
                                   pack.end());
  EXPECT_EQ(krt::test::ExtractFromImage(image, kMemoryOutput).bytes, plan.screens[1]);
  const std::string destination = krt::test::FreshPath("image.2D");
  EXPECT_EQ(krt::test::ExtractFromImage(image, kDiskOutput, destination).bytes, plan.screens[1]);
  krt::test::RemoveFile(destination);

  // Input mode 5 is memory input as well.
  krt::MemoryHandle slot = nullptr;
  ASSERT_EQ(Axkrt().GetFile(reinterpret_cast<const char*>(image.data()),
                            static_cast<int32_t>(image.size()), reinterpret_cast<char*>(&slot),
                            5 | kMemoryOutput, nullptr, 0),
            krt::kSuccess);
  EXPECT_EQ(krt::test::TakeBlock(slot), plan.screens[1]);
}

std::string NewFolder() {
  const std::string folder = krt::test::FreshPath("folder");
  return std::filesystem::create_directory(PathOf(folder)) ? folder : "not made";
}
int32_t ExtractTo(std::string folder, const char* source, int32_t position_or_length,
                  uint32_t flag = 0) {
  return Axkrt().GetFile(source, position_or_length, folder.data(), flag, nullptr, 0);
}

// The 1001st entry is listed, looked up and extracted by the name "1000.2D".
// A folder as destination receives each entry under its listed name, with or
// without a trailing separator, replacing a file of that name; the position
// may stand before the magic, as for any destination.
TEST_F(ArchiveExports, EntryNamesGrowPastThreeDigits) {
  PackPlan plan;
  for (uint32_t i = 0; i < 1001; ++i) {
    plan.screens.push_back(krt::test::SmallestScreen());
    krt::test::PutBe32(plan.screens.back(), 252, i);  // a byte the scan does not read
  }
  plan.gaps_before.assign(1001, 4);
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  const krt::test::Listing listing = krt::test::ListImage(pack);
  ASSERT_EQ(listing.records.size(), 1001u);
  EXPECT_STREQ(listing.records[999].filename, "999.2D");
  EXPECT_STREQ(listing.records[1000].filename, "1000.2D");
  EXPECT_EQ(listing.records[1000].position, 1001u * 260 - 256);
  for (const Lookup& found :
       {LookUp(file.path, 0, "1000.2D"), LookUpImage(pack, "1000.2d", 0x80)}) {
    EXPECT_EQ(krt::test::RecordBytes(found.record), krt::test::RecordBytes(listing.records[1000]));
  }
  const std::string folder = NewFolder();
  for (const size_t i : {0, 7, 999, 1000}) {
    for (const char* tail : {"", "/", "\\"}) {
      if (*tail == '\\' && std::filesystem::path::preferred_separator != '\\') continue;
      const std::string written = folder + "/" + EntryName(i);
      std::ofstream(PathOf(written)) << std::string(4000, 'x');
      const uint32_t position = listing.records[i].position - 4 * (i % 2);
      EXPECT_EQ(ExtractTo(folder + tail, file.path.c_str(), static_cast<int32_t>(position)), 0);
      EXPECT_EQ(krt::test::ReadWholeFile(written), plan.screens[i]) << i << " " << tail;
    }
  }
}

// Without a listing from the file's first byte to name it, an entry is named
// after its position; a memory image begins at its entry, its first.
TEST_F(GetFileExport, IntoAFolderWithoutAListedName) {
  PackPlan plan = ThreeScreenPack();
  plan.gaps_before[0] = 100;  // too far for a walk from the file's first byte
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  const std::string folder = NewFolder();
  const size_t second = ScreenPositions(plan)[1];
  EXPECT_EQ(ExtractTo(folder, file.path.c_str(), static_cast<int32_t>(second)), 0);
  EXPECT_EQ(ExtractTo(folder, reinterpret_cast<const char*>(&pack[second - 8]),
                      static_cast<int32_t>(pack.size() - second + 8), kMemoryInput),
            0);
  EXPECT_EQ(krt::test::ReadWholeFile(folder + "/pos" + std::to_string(second) + ".2D"),
            plan.screens[1]);
  EXPECT_EQ(krt::test::ReadWholeFile(folder + "/000.2D"), plan.screens[1]);
}

// A screen of `size` bytes: the smallest one with its colour table grown.
std::vector<uint8_t> ScreenOfSize(uint32_t size) {
  std::vector<uint8_t> screen = SmallestScreen();
  PutBe32(screen, 68, size - 256);  // the colour table's size
  screen.resize(size, 0);
  return screen;
}

// The plug-in keeps its walk of a pack between calls into a folder. The file
// rewritten in place to the same size puts entry 1 where entry 2 stood; the
// entry there takes its new name, told by the new write time, or, with the
// time put back, by the entry's own section table.
TEST_F(GetFileExport, IntoAFolderAfterTheFileChangedInPlace) {
  PackPlan before;
  before.screens.assign(3, SmallestScreen());
  before.gaps_before = {4, 4, 4};
  before.trailer.assign(64, 0);
  const size_t at = ScreenPositions(before)[2];
  for (const bool time_put_back : {false, true}) {
    PackPlan after;
    after.screens = {ScreenOfSize(516), ScreenOfSize(time_put_back ? 260 : 256)};
    after.gaps_before = {4, 4};
    after.trailer.assign(64 + 256 - after.screens[1].size(), 0);
    ASSERT_EQ(ScreenPositions(after)[1], at);
    const std::vector<uint8_t> rewritten = BuildPack(after);
    TempFile file(BuildPack(before));
    ASSERT_EQ(rewritten.size(), BuildPack(before).size());
    const std::string folder = NewFolder();
    EXPECT_EQ(ExtractTo(folder, file.path.c_str(), static_cast<int32_t>(at)), 0);
    EXPECT_EQ(ReadWholeFile(folder + "/002.2D"), before.screens[2]);

    const std::filesystem::path path = PathOf(file.path);
    const auto written = std::filesystem::last_write_time(path);
    std::fstream(path, std::ios::binary | std::ios::in | std::ios::out)
        .write(reinterpret_cast<const char*>(rewritten.data()),
               static_cast<std::streamsize>(rewritten.size()));
    std::filesystem::last_write_time(path,
                                     time_put_back ? written : written + std::chrono::seconds(10));
    EXPECT_EQ(ExtractTo(folder, file.path.c_str(), static_cast<int32_t>(at)), 0);
    EXPECT_EQ(ReadWholeFile(folder + "/001.2D"), after.screens[1]) << time_put_back;
  }
}

// Packs extracted by turns, entry by entry, forwards and back: two, whose
// walks the plug-in keeps side by side, and more than it keeps walks of.
// Every file takes its listed name in its pack's folder.
TEST_F(ArchiveExports, PacksExtractedByTurnsIntoFolders) {
  for (const uint32_t packs : {2u, 6u}) {
    std::vector<PackPlan> plans;
    std::vector<std::unique_ptr<TempFile>> files;
    std::vector<Listing> listings;
    std::vector<std::string> folders;
    size_t longest = 0;
    for (uint32_t seed = 300; seed < 300 + packs; ++seed) {
      plans.push_back(GeneratedPack(seed));
      files.push_back(std::make_unique<TempFile>(BuildPack(plans.back())));
      listings.push_back(ListFile(files.back()->path, 0));
      folders.push_back(NewFolder());
      longest = std::max(longest, listings.back().records.size());
    }
    for (size_t turn = 0; turn < 2 * longest; ++turn) {
      const size_t entry = turn < longest ? turn : 2 * longest - 1 - turn;
      for (size_t p = 0; p < packs; ++p) {
        if (entry >= listings[p].records.size()) continue;
        const auto position = static_cast<int32_t>(listings[p].records[entry].position);
        EXPECT_EQ(ExtractTo(folders[p], files[p]->path.c_str(), position), 0);
      }
    }
    for (size_t p = 0; p < packs; ++p) {
      for (size_t entry = 0; entry < listings[p].records.size(); ++entry) {
        EXPECT_EQ(ReadWholeFile(folders[p] + "/" + listings[p].records[entry].filename),
                  plans[p].screens[entry])
            << packs << " packs, pack " << p << " entry " << entry;
      }
      const auto written = std::distance(std::filesystem::directory_iterator(PathOf(folders[p])),
                                         std::filesystem::directory_iterator());
      EXPECT_EQ(static_cast<size_t>(written), listings[p].records.size());
    }
  }
}

TEST_F(GetFileExport, Failures) {
  const PackPlan plan = ThreeScreenPack();
  const std::vector<uint8_t> pack = BuildPack(plan);
  TempFile file(pack);
  const std::vector<uint8_t> zeros(1000, 0);
  const std::string nowhere = krt::test::FreshPath("never.2D");
  struct Case {
    const char* what;
    krt::test::Extracted extracted;
    int32_t result;
  };
  const Case cases[] = {
      {"missing source", krt::test::ExtractFromFile(file.path + ".missing", 4, kMemoryOutput),
       krt::kFileError},
      {"position past the end", krt::test::ExtractFromFile(file.path, 100000, kMemoryOutput),
       krt::kFileError},
      {"negative position", krt::test::ExtractFromFile(file.path, -4, kMemoryOutput),
       krt::kFileError},
      {"image without a screen", krt::test::ExtractFromImage(zeros, kMemoryOutput),
       krt::kFileError},
      {"image of 159 bytes",
       krt::test::ExtractFromImage(std::vector<uint8_t>(pack.begin(), pack.begin() + 159),
                                   kMemoryOutput),
       krt::kNotValidData},
      {"no screen, disk output", krt::test::ExtractFromImage(zeros, kDiskOutput, nowhere),
       krt::kFileError},
      {"destination cannot be created",
       krt::test::ExtractFromFile(file.path, 4, kDiskOutput, nowhere + "/no/such/folder.2D"),
       krt::kFileError},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.extracted.result, c.result) << c.what;
  }
  EXPECT_FALSE(krt::test::FileExists(nowhere));
}

TEST_F(GetFileExport, CallbackCanStopBeforeAnything) {
  TempFile file(BuildPack(ThreeScreenPack()));
  std::string destination = krt::test::FreshPath("stopped.2D");
  CallLog log;
  log.answer = 1;
  EXPECT_EQ(Axkrt().GetFile(file.path.c_str(), 4, destination.data(), 0, LogProgress,
                            reinterpret_cast<intptr_t>(&log)),
            krt::kStoppedByCallback);
  EXPECT_EQ(log.calls, (Calls{{0, 1}}));
  EXPECT_FALSE(krt::test::FileExists(destination));

  // No call follows a failure, and the last call's answer is ignored.
  CallLog failing;
  EXPECT_EQ(Axkrt().GetFile(file.path.c_str(), 5, destination.data(), 0, LogProgress,
                            reinterpret_cast<intptr_t>(&failing)),
            krt::kFileError);
  EXPECT_EQ(failing.calls, (Calls{{0, 1}}));
}

TEST_F(GetFileExport, NullHandleSlotIsRefused) {
  const std::vector<uint8_t> pack = BuildPack(ThreeScreenPack());
  EXPECT_EQ(
      Axkrt().GetFile(reinterpret_cast<const char*>(pack.data()), static_cast<int32_t>(pack.size()),
                      nullptr, kMemoryInput | kMemoryOutput, nullptr, 0),
      krt::kBadArgument);
}

// --- Agreement -----------------------------------------------------------------

TEST_F(ArchiveExports, ListingLookupAndExtractionAgreeOnGeneratedPacks) {
  for (uint32_t seed = 100; seed < 115; ++seed) {
    const PackPlan plan = krt::test::GeneratedPack(seed);
    const std::vector<uint8_t> pack = BuildPack(plan);
    TempFile file(pack);
    const krt::test::Listing from_file = krt::test::ListFile(file.path, 0);
    const krt::test::Listing from_image = krt::test::ListImage(pack);
    ExpectListing(from_file, plan, plan.screens.size());
    ASSERT_EQ(from_image.records.size(), from_file.records.size()) << seed;

    for (size_t i = 0; i < from_file.records.size(); ++i) {
      const krt::fileInfo& listed = from_file.records[i];
      EXPECT_EQ(krt::test::RecordBytes(from_image.records[i]), krt::test::RecordBytes(listed));
      EXPECT_EQ(krt::test::RecordBytes(LookUp(file.path, 0, listed.filename).record),
                krt::test::RecordBytes(listed))
          << seed << " " << i;
      EXPECT_EQ(krt::test::RecordBytes(LookUpImage(pack, listed.filename).record),
                krt::test::RecordBytes(listed))
          << seed << " " << i;

      const auto position = static_cast<int32_t>(listed.position);
      EXPECT_EQ(krt::test::ExtractFromFile(file.path, position, kMemoryOutput).bytes,
                plan.screens[i])
          << seed << " " << i;
      const std::vector<uint8_t> from_entry(pack.begin() + position, pack.end());
      EXPECT_EQ(krt::test::ExtractFromImage(from_entry, kMemoryOutput).bytes, plan.screens[i])
          << seed << " " << i;
    }
    // One past the last entry is not there, in either mode.
    const std::string past = EntryName(plan.screens.size());
    EXPECT_EQ(LookUp(file.path, 0, past.c_str()).result, krt::kNotValidData) << seed;
    EXPECT_EQ(LookUpImage(pack, past.c_str()).result, krt::kNotValidData) << seed;
  }
}

}  // namespace
