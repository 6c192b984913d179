// IFKRT's GetPictureInfo on a memory image and on the same bytes as a file,
// read from its start and from a later offset.
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "image_picture_checks.h"
#include "plugin_exports.h"

namespace krt::fuzz {
namespace {

// A screen header stored this far into a file.
constexpr size_t kHeaderOffset = 4;

// The same header read at an offset: judged against the whole file's size,
// so a header the image after the offset fails may pass and then meet the
// file's end in a short read.
void CheckAtOffset(const uint8_t* data, size_t size, const char* path) {
  if (size < kHeaderOffset) return;
  const std::vector<uint8_t> image(data + kHeaderOffset, data + size);
  PictureInfo from_memory = UntouchedPictureInfo();
  const int32_t memory_answer =
      Ifkrt().GetPictureInfo(reinterpret_cast<const char*>(image.data()),
                             static_cast<int32_t>(image.size()), 1, &from_memory);
  PictureInfo from_file = UntouchedPictureInfo();
  const int32_t file_answer = Ifkrt().GetPictureInfo(path, kHeaderOffset, 0, &from_file);
  if (memory_answer == 0) {
    KRT_FUZZ_CHECK(file_answer == 0 && SameRecord(from_file, from_memory));
  } else {
    KRT_FUZZ_CHECK(file_answer == 3 || file_answer == 6);
    KRT_FUZZ_CHECK(SameRecord(from_file, UntouchedPictureInfo()));
  }
}

}  // namespace

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

  const char* path = WriteInputFile(data, size);
  PictureInfo from_file = UntouchedPictureInfo();
  const int32_t file_answer = ifkrt.GetPictureInfo(path, 0, 0, &from_file);
  KRT_FUZZ_CHECK(file_answer == FileAnswerFor(memory_answer, size));
  KRT_FUZZ_CHECK(SameRecord(from_file, memory_answer == 0 ? from_memory : UntouchedPictureInfo()));
  CheckAtOffset(data, size, path);
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
