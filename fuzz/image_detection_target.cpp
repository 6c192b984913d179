// IFKRT's IsSupported through a host buffer and through a host file handle.
#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "reference_layout.h"

namespace krt::fuzz {

void FuzzImageIsSupported(const uint8_t* data, size_t size) {
  KRT_FUZZ_CHECK(Ifkrt().IsSupported != nullptr);
  const HeldResources before = CurrentlyHeld();
  const DetectionAnswers answers =
      AskIsSupported(Ifkrt().IsSupported, data, size, kImageDetectionReach);
  KRT_FUZZ_CHECK(answers.from_buffer ==
                 (HeaderIsValid(answers.buffer.data(), kUnstatedLength) ? 1 : 0));
  // Through a handle the header is judged against the whole file.
  const bool valid_in_file = size >= 96 && HeaderIsValid(data, size);
  KRT_FUZZ_CHECK(answers.from_handle == (valid_in_file ? 1 : 0));
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
