// IFKRT's GetPictureInfo on a memory image and on the same bytes as a file.
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "image_picture_checks.h"
#include "plugin_exports.h"

namespace krt::fuzz {

void FuzzImagePictureInfo(const uint8_t* data, size_t size) {
  const ImageExports& ifkrt = Ifkrt();
  KRT_FUZZ_CHECK(ifkrt.GetPictureInfo != nullptr);
  const HeldResources before = CurrentlyHeld();
  // An exact copy: any read past the image's end is caught.
  const std::vector<uint8_t> image(data, data + size);
  const auto length = static_cast<int32_t>(size);
  const auto* source = reinterpret_cast<const char*>(image.data());

  PictureInfo from_memory = UntouchedPictureInfo();
  const int32_t memory_answer = ifkrt.GetPictureInfo(source, length, 1, &from_memory);
  KRT_FUZZ_CHECK(memory_answer == 0 || memory_answer == 3);
  if (memory_answer == 0) {
    CheckPictureInfo(from_memory);
  } else {
    KRT_FUZZ_CHECK(SameRecord(from_memory, UntouchedPictureInfo()));
  }
  CheckNothingLeftHeld(before);

  PictureInfo from_file = UntouchedPictureInfo();
  const int32_t file_answer = ifkrt.GetPictureInfo(WriteInputFile(data, size), 0, 0, &from_file);
  KRT_FUZZ_CHECK(file_answer == FileAnswerFor(memory_answer, size));
  KRT_FUZZ_CHECK(SameRecord(from_file, memory_answer == 0 ? from_memory : UntouchedPictureInfo()));
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
