// AXKRT's GetArchiveInfo on a memory image and on the same bytes as a file,
// from its start and from a later start offset.
#include <vector>

#include "archive_checks.h"
#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "reference_layout.h"

namespace krt::fuzz {
namespace {

void CheckListing(const char* source, int32_t offset_or_length, uint32_t flag,
                  const std::vector<PackEntry>& expected) {
  const host::ListCall call = host::CallGetArchiveInfo(Axkrt(), {source, offset_or_length, flag});
  if (expected.empty()) {
    KRT_FUZZ_CHECK(call.result == 3);
    KRT_FUZZ_CHECK(call.slot_cleared);
    return;
  }
  KRT_FUZZ_CHECK(call.result == 0);
  CheckEntryList(TakeHandedBlock(call.list, EntryListSize(expected.size())), expected);
}

// A start offset that is no multiple of 4 and lands inside the first screen.
constexpr size_t kLaterStart = 6;

}  // namespace

void FuzzArchiveInfo(const uint8_t* data, size_t size) {
  KRT_FUZZ_CHECK(Axkrt().GetArchiveInfo != nullptr);
  const HeldResources before = CurrentlyHeld();
  const std::vector<uint8_t> image(data, data + size);
  const std::vector<PackEntry> from_start = WalkPack(data, size, 0);

  CheckListing(reinterpret_cast<const char*>(image.data()), static_cast<int32_t>(size), 1,
               from_start);
  CheckNothingLeftHeld(before);

  const char* path = WriteInputFile(data, size);
  CheckListing(path, 0, 0, from_start);
  CheckListing(path, kLaterStart, 0, WalkPack(data, size, kLaterStart));
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
