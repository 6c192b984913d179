// Every platform call an export makes, made to fail in turn: for each kind of
// call and n = 1, 2, ... the n-th call of that kind fails, until the export
// runs through without reaching it. Each failing run must give the result
// the failure tables give for that call, leave the host's slots and records
// as those tables say, and hold no file and no block afterwards; the run
// that no longer reaches the fault must give the undisturbed answer.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "loaded_plugins.h"
#include "platform_control.h"
#include "screen_builder.h"

namespace {

using krt::MemoryHandle;
using krt::test::Axkrt;
using krt::test::Ifkrt;

constexpr KrtPlatformCall kEveryKind[] = {kKrtCallOpen,    kKrtCallSize,  kKrtCallSeek,
                                          kKrtCallRead,    kKrtCallWrite, kKrtCallAlloc,
                                          kKrtCallRealloc, kKrtCallLock};
constexpr const char* kKindNames[] = {"open",  "size",  "seek",    "read",
                                      "write", "alloc", "realloc", "lock"};
// No export makes anywhere near this many calls of one kind on these inputs.
constexpr uint32_t kMostCallsOfAKind = 200;

// What one run of an export left behind.
struct Attempt {
  int32_t result = 0;
  // Slots, records and progress reports as the failure tables say for a
  // failed run (checked only when the run failed).
  bool left_as_on_failure = true;
  // Blocks handed over on success, for the sweep to take over and free.
  std::vector<MemoryHandle> handed;
};

// The result the failure tables give when the n-th call of a kind fails, or
// nothing when the export must never make that kind of call.
using FailureTable = std::function<std::optional<int32_t>(KrtPlatformCall kind, uint32_t n)>;

void FreeHanded(const Attempt& attempt) {
  for (MemoryHandle handle : attempt.handed) {
    EXPECT_EQ(KrtPlatformLockCount(handle), 0) << "handed over locked";
    EXPECT_EQ(LocalFree(handle), nullptr);
  }
}

struct HeldNow {
  int32_t files = KrtPlatformOpenFiles();
  int32_t blocks = KrtPlatformLiveBlocks();
};

void Sweep(const std::function<Attempt()>& call, const FailureTable& table) {
  const bool failed_before = testing::Test::HasFailure();
  KrtPlatformReset();
  const HeldNow before;
  const Attempt undisturbed = call();
  FreeHanded(undisturbed);

  for (size_t k = 0; k < std::size(kEveryKind); ++k) {
    const KrtPlatformCall kind = kEveryKind[k];
    uint32_t n = 1;
    for (; n <= kMostCallsOfAKind; ++n) {
      SCOPED_TRACE(std::string("failing ") + kKindNames[k] + " call " + std::to_string(n));
      KrtPlatformReset();
      KrtPlatformFailNth(kind, n);
      const Attempt attempt = call();
      const bool fired = KrtPlatformFailureFired(kind);
      KrtPlatformFailNth(kind, 0);
      FreeHanded(attempt);
      const HeldNow after;
      EXPECT_EQ(after.files, before.files) << "a file is left open";
      EXPECT_EQ(after.blocks, before.blocks) << "a block is leaked";
      if (!fired) {
        EXPECT_EQ(attempt.result, undisturbed.result);
        break;
      }
      const std::optional<int32_t> expected = table(kind, n);
      if (!expected) {
        ADD_FAILURE() << "the export makes a call of a kind it has no use for";
        break;
      }
      EXPECT_EQ(attempt.result, *expected);
      EXPECT_TRUE(attempt.left_as_on_failure);
      if (!failed_before && testing::Test::HasFailure()) return;  // one broken path is enough
    }
    EXPECT_LE(n, kMostCallsOfAKind) << kKindNames[k] << " calls never stopped failing";
  }
}

// The result the failure tables give for a failing call of each kind, in the
// order of kEveryKind (open, size, seek, read, write, alloc, realloc, lock);
// nothing for a kind the export has no use for.
using ResultsByKind = std::array<std::optional<int32_t>, std::size(kEveryKind)>;
constexpr std::nullopt_t kNever = std::nullopt;

// IFKRT: a failing file call is a file error; a failing allocation or lock
// an allocation failure.
constexpr ResultsByKind kImageResults = {6, 6, 6, 6, kNever, 4, kNever, 4};
// IsSupported answers 0 to every failure.
constexpr ResultsByKind kDetectionResults = {0, 0, 0, 0, 0, 0, 0, 0};
// GetArchiveInfo: opening and sizing the file give 6, the list's first byte
// 4; whatever fails while listing discards the listing with 3 (see below).
constexpr ResultsByKind kListingResults = {6, 6, 3, 3, kNever, 4, 3, 3};
// GetFileInfo allocates nothing.
constexpr ResultsByKind kLookupResults = {6, 6, 6, 6, kNever, kNever, kNever, kNever};
// GetFile: the destination's creation and write fail like the source's
// reads; the entry block gives 4 when not allocated and 5 when not locked.
constexpr ResultsByKind kExtractionResults = {6, 6, 6, 6, 6, 4, kNever, 5};

FailureTable ByKind(const ResultsByKind& results) {
  return [results](KrtPlatformCall kind, uint32_t /*n*/) {
    return results[static_cast<size_t>(kind)];
  };
}

// The file's own size query and the list's first byte come before the walk;
// every later size query belongs to a read of the walk, and the list only
// grows after its first byte.
std::optional<int32_t> ListingFailures(KrtPlatformCall kind, uint32_t n) {
  if (kind == kKrtCallSize && n > 1) return krt::kNotValidData;
  if (kind == kKrtCallAlloc && n > 1) return kNever;
  return kListingResults[static_cast<size_t>(kind)];
}

// Records progress reports; never asks to stop.
struct Progress {
  std::vector<int32_t> numerators;
  static int32_t KRT_STDCALL Record(int32_t numerator, int32_t /*denominator*/, intptr_t user) {
    reinterpret_cast<Progress*>(user)->numerators.push_back(numerator);
    return 0;
  }
  intptr_t User() { return reinterpret_cast<intptr_t>(this); }
  // After a failure: the entry report, perhaps the loaded report, never the
  // final one.
  bool NoFinalReport(int32_t final_numerator) const {
    for (int32_t numerator : numerators) {
      if (numerator == final_numerator) return false;
    }
    return !numerators.empty() && numerators.front() == 0;
  }
};

MemoryHandle Untouched() { return krt::host::UntouchedSlot(); }

// A source in one of the two input modes: a memory image, or a file holding
// `padding` bytes and then the image, read at that offset.
struct Source {
  std::string label;
  std::vector<uint8_t> image;
  bool from_file = false;
  uint32_t padding = 0;
  std::string path;

  const char* Pointer() const {
    return from_file ? path.c_str() : reinterpret_cast<const char*>(image.data());
  }
  int32_t OffsetOrLength() const {
    return from_file ? static_cast<int32_t>(padding) : static_cast<int32_t>(image.size());
  }
  uint32_t Flag() const { return from_file ? 0u : 1u; }
};

std::vector<Source> BothModes(const std::string& label, const std::vector<uint8_t>& image,
                              uint32_t padding) {
  std::vector<uint8_t> file(padding, 0);
  file.insert(file.end(), image.begin(), image.end());
  Source in_memory{label + " in memory", image, false, 0, {}};
  Source in_file{label + " in a file", image, true, padding,
                 krt::test::WriteTempFile(file, "sweep.bin")};
  return {in_memory, in_file};
}

// Screens that take every allocation GetPicture can make: a 4-bit picture,
// a 24-bit one (with its colour lookup table) and one with nothing to show.
std::vector<Source> ScreenSources() {
  using krt::test::ScreenPlan;
  ScreenPlan four_bit;
  four_bit.dot_data.assign(64, 0x12);
  four_bit.colours.assign(16, 0x7FFF);
  krt::test::SetName(four_bit, 3, 2, 1);

  ScreenPlan true_colour;
  true_colour.colours_256 = true;
  true_colour.dot_data.assign(128, 0x34);
  true_colour.colours.assign(512, 0x001F);
  krt::test::SetName(true_colour, 0, 0, 0x0002);
  krt::test::SetName(true_colour, 1, 1, 0x1002);

  ScreenPlan empty;

  std::vector<Source> sources;
  for (auto& s : BothModes("4-bit screen", krt::test::BuildScreenFile(four_bit), 0)) {
    sources.push_back(s);
  }
  for (auto& s : BothModes("24-bit screen", krt::test::BuildScreenFile(true_colour), 100)) {
    sources.push_back(s);
  }
  for (auto& s : BothModes("empty screen", krt::test::BuildScreenFile(empty), 0)) {
    sources.push_back(s);
  }
  return sources;
}

std::vector<uint8_t> SmallScreen(uint32_t name) {
  krt::test::ScreenPlan plan;
  plan.bytes_per_page = 64;
  plan.dot_data.assign(32, 0x11);
  plan.colours.assign(16, 0x1234);
  krt::test::SetName(plan, name % 32, 0, name);
  return krt::test::BuildScreenFile(plan);
}

krt::test::PackPlan ThreeScreens() {
  krt::test::PackPlan plan;
  plan.screens = {SmallScreen(1), SmallScreen(2), SmallScreen(3)};
  plan.gaps_before = {4, 8, 0};
  plan.trailer.assign(200, 0);
  return plan;
}

class FaultSweep : public testing::Test {
 protected:
  void TearDown() override { KrtPlatformReset(); }
};

TEST_F(FaultSweep, GetPictureInfo) {
  ASSERT_NE(Ifkrt().GetPictureInfo, nullptr);
  for (const Source& source : ScreenSources()) {
    SCOPED_TRACE(source.label);
    Sweep(
        [&] {
          krt::PictureInfo info;
          std::memset(&info, 0xCD, sizeof info);
          const krt::PictureInfo untouched = info;
          Attempt attempt;
          attempt.result = Ifkrt().GetPictureInfo(source.Pointer(), source.OffsetOrLength(),
                                                  source.Flag(), &info);
          attempt.left_as_on_failure = std::memcmp(&info, &untouched, sizeof info) == 0;
          return attempt;
        },
        ByKind(kImageResults));
  }
}

TEST_F(FaultSweep, GetPicture) {
  ASSERT_NE(Ifkrt().GetPicture, nullptr);
  for (const Source& source : ScreenSources()) {
    SCOPED_TRACE(source.label);
    Sweep(
        [&] {
          MemoryHandle info = Untouched();
          MemoryHandle pixels = Untouched();
          Progress progress;
          Attempt attempt;
          attempt.result =
              Ifkrt().GetPicture(source.Pointer(), source.OffsetOrLength(), source.Flag(), &info,
                                 &pixels, Progress::Record, progress.User());
          attempt.left_as_on_failure =
              info == Untouched() && pixels == Untouched() && progress.NoFinalReport(2);
          if (attempt.result == 0) attempt.handed = {info, pixels};
          return attempt;
        },
        ByKind(kImageResults));
  }
}

// A host's handle through every failure: the answer is 0 and the handle is
// still open afterwards (the sweep counts open files).
TEST_F(FaultSweep, IsSupportedOnAHostHandle) {
  ASSERT_NE(Ifkrt().IsSupported, nullptr);
  ASSERT_NE(Axkrt().IsSupported, nullptr);
  const krt::test::PackPlan plan = ThreeScreens();
  const auto pack = krt::test::BuildPack(plan);
  const auto screen = SmallScreen(1);
  struct Case {
    const char* label;
    krt::IsSupportedFn is_supported;
    const std::vector<uint8_t>* bytes;
  };
  for (const Case& c :
       {Case{"IFKRT", Ifkrt().IsSupported, &screen}, Case{"AXKRT", Axkrt().IsSupported, &pack}}) {
    SCOPED_TRACE(c.label);
    const std::string path = krt::test::WriteTempFile(*c.bytes, "judged.bin");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Sweep(
        [&] {
          Attempt attempt;
          attempt.result = c.is_supported("judged.bin", reinterpret_cast<uintptr_t>(file));
          return attempt;
        },
        ByKind(kDetectionResults));
    EXPECT_EQ(c.is_supported("judged.bin", reinterpret_cast<uintptr_t>(file)), 1);
    EXPECT_TRUE(CloseHandle(file));
  }
}

std::vector<Source> PackSources() {
  const auto pack = krt::test::BuildPack(ThreeScreens());
  std::vector<Source> sources = BothModes("pack", pack, 0);
  sources.push_back(BothModes("pack after 40 bytes", pack, 40)[1]);
  return sources;
}

TEST_F(FaultSweep, GetArchiveInfo) {
  ASSERT_NE(Axkrt().GetArchiveInfo, nullptr);
  for (const Source& source : PackSources()) {
    SCOPED_TRACE(source.label);
    Sweep(
        [&] {
          MemoryHandle list = Untouched();
          Attempt attempt;
          attempt.result = Axkrt().GetArchiveInfo(source.Pointer(), source.OffsetOrLength(),
                                                  source.Flag(), &list);
          attempt.left_as_on_failure = list == nullptr;
          if (attempt.result == 0) attempt.handed = {list};
          return attempt;
        },
        ListingFailures);
  }
}

TEST_F(FaultSweep, GetFileInfo) {
  ASSERT_NE(Axkrt().GetFileInfo, nullptr);
  for (const Source& source : PackSources()) {
    // The last entry (the walk reads every window before it) and one past it.
    for (const char* name : {"002.2D", "003.2D"}) {
      SCOPED_TRACE(source.label + ", " + name);
      Sweep(
          [&] {
            krt::fileInfo record;
            std::memset(&record, 0xCD, sizeof record);
            Attempt attempt;
            attempt.result = Axkrt().GetFileInfo(source.Pointer(), source.OffsetOrLength(), name,
                                                 source.Flag(), &record);
            const krt::fileInfo zero{};
            attempt.left_as_on_failure = std::memcmp(&record, &zero, sizeof record) == 0;
            return attempt;
          },
          ByKind(kLookupResults));
    }
  }
}

TEST_F(FaultSweep, GetFile) {
  ASSERT_NE(Axkrt().GetFile, nullptr);
  const krt::test::PackPlan plan = ThreeScreens();
  const auto pack = krt::test::BuildPack(plan);
  const size_t second = krt::test::ScreenPositions(plan)[1];
  // In memory the image starts at the wanted entry; in a file the position
  // names it.
  std::vector<Source> sources;
  sources.push_back(Source{"entry 1 in memory",
                           std::vector<uint8_t>(pack.begin() + second - 4, pack.end()),
                           false,
                           0,
                           {}});
  Source in_file{"entry 1 in a file", pack, true, static_cast<uint32_t>(second),
                 krt::test::WriteTempFile(pack, "sweep.BIN")};
  sources.push_back(in_file);
  const std::string destination = krt::test::WriteTempFile({}, "extracted.2D");
  // Into a folder, the naming walk's reads fail like the entry's own, and a
  // failure leaves the folder empty.
  const std::string folder = destination + ".folder";
  ASSERT_TRUE(std::filesystem::create_directory(folder));

  for (const Source& source : sources) {
    for (const char* to :
         {static_cast<const char*>(nullptr), destination.c_str(), folder.c_str()}) {
      SCOPED_TRACE(source.label + " to " + (to == nullptr ? "memory" : to));
      int successes = 0;
      Sweep(
          [&] {
            MemoryHandle slot = Untouched();
            char* target = to == nullptr ? reinterpret_cast<char*>(&slot) : const_cast<char*>(to);
            const uint32_t flag = source.Flag() | (to == nullptr ? 0x100u : 0u);
            Progress progress;
            Attempt attempt;
            attempt.result = Axkrt().GetFile(source.Pointer(), source.OffsetOrLength(), target,
                                             flag, Progress::Record, progress.User());
            attempt.left_as_on_failure = slot == Untouched() && progress.NoFinalReport(1) &&
                                         std::filesystem::is_empty(folder);
            if (attempt.result == 0 && to == nullptr) attempt.handed = {slot};
            successes += attempt.result == 0 ? 1 : 0;
            if (attempt.result == 0 && to == folder.c_str()) {
              EXPECT_EQ(std::filesystem::remove_all(folder), 2u);  // the folder and one file
              std::filesystem::create_directory(folder);
            }
            return attempt;
          },
          ByKind(kExtractionResults));
      EXPECT_GT(successes, 0);
    }
  }
}

// A host that asks to stop at a report that may stop: the call ends with 1,
// releases what it loaded and hands nothing over. Stopping at the entry
// report opens and allocates nothing.
struct Stopper {
  int32_t stop_at = 0;
  int32_t reports = 0;
  static int32_t KRT_STDCALL Answer(int32_t numerator, int32_t /*denominator*/, intptr_t user) {
    auto* stopper = reinterpret_cast<Stopper*>(user);
    ++stopper->reports;
    return numerator == stopper->stop_at ? 1 : 0;
  }
};

TEST_F(FaultSweep, StoppingAtEachReportThatMayStop) {
  ASSERT_NE(Ifkrt().GetPicture, nullptr);
  ASSERT_NE(Axkrt().GetFile, nullptr);
  for (const Source& source : ScreenSources()) {
    if (source.label.find("empty") != std::string::npos) continue;  // fails before (1, 2)
    for (int32_t stop_at : {0, 1}) {
      SCOPED_TRACE(source.label + ", stopping at report " + std::to_string(stop_at));
      KrtPlatformReset();
      const HeldNow before;
      MemoryHandle info = Untouched();
      MemoryHandle pixels = Untouched();
      Stopper stopper{stop_at};
      EXPECT_EQ(Ifkrt().GetPicture(source.Pointer(), source.OffsetOrLength(), source.Flag(), &info,
                                   &pixels, Stopper::Answer, reinterpret_cast<intptr_t>(&stopper)),
                krt::kStoppedByCallback);
      EXPECT_EQ(stopper.reports, stop_at + 1);
      EXPECT_TRUE(info == Untouched() && pixels == Untouched());
      const HeldNow after;
      EXPECT_EQ(after.files, before.files);
      EXPECT_EQ(after.blocks, before.blocks);
      if (stop_at == 0) {
        EXPECT_EQ(KrtPlatformCallCount(kKrtCallOpen), 0u);
        EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 0u);
      }
    }
  }

  const auto pack = krt::test::BuildPack(ThreeScreens());
  const std::string path = krt::test::WriteTempFile(pack, "stopped.BIN");
  KrtPlatformReset();
  MemoryHandle slot = Untouched();
  Stopper stopper{0};
  EXPECT_EQ(Axkrt().GetFile(path.c_str(), 4, reinterpret_cast<char*>(&slot), 0x100, Stopper::Answer,
                            reinterpret_cast<intptr_t>(&stopper)),
            krt::kStoppedByCallback);
  EXPECT_EQ(stopper.reports, 1);
  EXPECT_EQ(slot, Untouched());
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallOpen), 0u);
  EXPECT_EQ(KrtPlatformCallCount(kKrtCallAlloc), 0u);
}

}  // namespace
