// AXKRT's GetFileInfo on a memory image and on the same bytes as a file, for
// a fixed set of entry names and one taken from the input's first bytes.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "archive_checks.h"
#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "reference_layout.h"

namespace krt::fuzz {
namespace {

constexpr const char* kNames[] = {"000.2D", "001.2D",  "002.2d", "-01.2D", "abc.2D",
                                  "12.2D",  " +1.2Dx", "999.2D", "0001.2D"};
constexpr uint32_t kFlags[] = {0, 0x80};
constexpr size_t kFuzzedNameLength = 7;

void CheckLookup(const char* source, int32_t offset_or_length, uint32_t flag, const char* name,
                 const std::vector<PackEntry>& entries) {
  fileInfo record = UntouchedRecord();
  const int32_t result = Axkrt().GetFileInfo(source, offset_or_length, name, flag, &record);
  const std::optional<int32_t> index = EntryIndexOfName(name, flag);
  if (!index) {
    KRT_FUZZ_CHECK(result == 8);
    KRT_FUZZ_CHECK(SameRecord(record, ZeroRecord()));
    return;
  }
  if (*index < 0 || static_cast<size_t>(*index) >= entries.size()) {
    KRT_FUZZ_CHECK(result == 3);
    KRT_FUZZ_CHECK(SameRecord(record, ZeroRecord()));
    return;
  }
  KRT_FUZZ_CHECK(result == 0);
  KRT_FUZZ_CHECK(SameRecord(record, ExpectedRecord(entries[static_cast<size_t>(*index)], *index)));
}

void CheckEveryName(const char* source, int32_t offset_or_length, uint32_t input_mode,
                    const std::string& fuzzed_name, const std::vector<PackEntry>& entries) {
  for (uint32_t flag : kFlags) {
    for (const char* name : kNames) {
      CheckLookup(source, offset_or_length, flag | input_mode, name, entries);
    }
    CheckLookup(source, offset_or_length, flag | input_mode, fuzzed_name.c_str(), entries);
  }
}

}  // namespace

void FuzzArchiveFileInfo(const uint8_t* data, size_t size) {
  KRT_FUZZ_CHECK(Axkrt().GetFileInfo != nullptr);
  const HeldResources before = CurrentlyHeld();
  const std::vector<uint8_t> image(data, data + size);
  const std::vector<PackEntry> entries = WalkPack(data, size, 0);
  // The gap bytes before a pack's first magic make a name the walk ignores.
  std::string fuzzed_name(reinterpret_cast<const char*>(data), std::min(size, kFuzzedNameLength));
  fuzzed_name = fuzzed_name.c_str();

  CheckEveryName(reinterpret_cast<const char*>(image.data()), static_cast<int32_t>(size), 1,
                 fuzzed_name, entries);
  CheckNothingLeftHeld(before);
  CheckEveryName(WriteInputFile(data, size), 0, 0, fuzzed_name, entries);
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
