// AXKRT's IsSupported through a host buffer and through a host file handle.
#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "reference_layout.h"

namespace krt::fuzz {
namespace {

// The first magic of a pack stands 4 to 64 bytes into the file.
constexpr size_t kWindowStart = 4;

}  // namespace

void FuzzArchiveIsSupported(const uint8_t* data, size_t size) {
  KRT_FUZZ_CHECK(Axkrt().IsSupported != nullptr);
  const HeldResources before = CurrentlyHeld();
  const DetectionAnswers answers =
      AskIsSupported(Axkrt().IsSupported, data, size, kArchiveDetectionReach);
  const bool in_buffer =
      LocateScreen(answers.buffer.data() + kWindowStart, kUnstatedLength).has_value();
  KRT_FUZZ_CHECK(answers.from_buffer == (in_buffer ? 1 : 0));
  // The screen's end is compared with the whole file, not with what follows
  // the 4 bytes skipped.
  const bool in_file =
      size >= kScanWindowSize && LocateScreen(data + kWindowStart, size).has_value();
  KRT_FUZZ_CHECK(answers.from_handle == (in_file ? 1 : 0));
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
