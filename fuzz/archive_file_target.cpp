// AXKRT's GetFile: from a memory image and from a file at several entry
// positions, to a memory handle and to a disk file. Every extracted entry
// must be the screen's own bytes, magic first, screen extent long.
#include <algorithm>
#include <optional>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "reference_layout.h"

namespace krt::fuzz {
namespace {

constexpr size_t kMostPositions = 3;

// The bytes GetFile must extract for an entry position (the image's start
// in memory input), or nothing when it must fail.
std::optional<std::vector<uint8_t>> ExpectedEntry(const uint8_t* data, size_t size,
                                                  size_t position) {
  if (position > size || size - position < kScanWindowSize) return std::nullopt;
  const auto found = LocateScreen(data + position, size - position);
  if (!found) return std::nullopt;
  const uint8_t* screen = data + position + found->magic_offset;
  return std::vector<uint8_t>(screen, screen + found->screen_extent);
}

void CheckExtraction(const char* source, int32_t position_or_length, uint32_t input_mode,
                     int32_t failure, const std::optional<std::vector<uint8_t>>& expected) {
  const host::CallSource from{source, position_or_length, input_mode};
  ProgressRecorder to_memory;
  const host::FileCall call =
      host::CallGetFileToMemory(Axkrt(), from, {ProgressRecorder::Record, to_memory.UserValue()});
  if (!expected) {
    KRT_FUZZ_CHECK(call.result == failure);
    KRT_FUZZ_CHECK(call.slot_untouched);
    KRT_FUZZ_CHECK(to_memory.ReceivedFirst(1, 1));
  } else {
    KRT_FUZZ_CHECK(call.result == 0);
    KRT_FUZZ_CHECK(to_memory.ReceivedFirst(2, 1));
    KRT_FUZZ_CHECK(TakeHandedBlock(call.block, expected->size()) == *expected);
  }

  // A stale file at the destination must be replaced, not appended to.
  const char* destination = OutputFilePath();
  WriteWholeFile(destination, std::vector<uint8_t>(300, 0xEE));
  ProgressRecorder to_disk;
  const int32_t on_disk = host::CallGetFileToDisk(Axkrt(), from, destination,
                                                  {ProgressRecorder::Record, to_disk.UserValue()});
  if (!expected) {
    KRT_FUZZ_CHECK(on_disk == failure);
    KRT_FUZZ_CHECK(to_disk.ReceivedFirst(1, 1));
  } else {
    KRT_FUZZ_CHECK(on_disk == 0);
    KRT_FUZZ_CHECK(to_disk.ReceivedFirst(2, 1));
    KRT_FUZZ_CHECK(ReadWholeFile(destination) == *expected);
  }
}

}  // namespace

void FuzzArchiveFile(const uint8_t* data, size_t size) {
  KRT_FUZZ_CHECK(Axkrt().GetFile != nullptr);
  const HeldResources before = CurrentlyHeld();
  const std::vector<uint8_t> image(data, data + size);

  const int32_t memory_failure = size < kScanWindowSize ? 3 : 6;
  CheckExtraction(reinterpret_cast<const char*>(image.data()), static_cast<int32_t>(size), 1,
                  memory_failure, ExpectedEntry(data, size, 0));
  CheckNothingLeftHeld(before);

  std::vector<size_t> positions = {0, size / 2 & ~size_t{3}};
  const std::vector<PackEntry> entries = WalkPack(data, size, 0);
  for (size_t i = 0; i < std::min(entries.size(), kMostPositions); ++i) {
    positions.push_back(entries[i].position);
  }
  const char* path = WriteInputFile(data, size);
  for (size_t position : positions) {
    CheckExtraction(path, static_cast<int32_t>(position), 0, 6,
                    ExpectedEntry(data, size, position));
  }
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
