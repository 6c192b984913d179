// IFKRT's GetPictureInfo on a memory image and on the same bytes as a file,
// read from its start and from a later offset.
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "image_picture_checks.h"
#include "reference_layout.h"

namespace krt::fuzz {
namespace {

// A screen header stored this far into a file.
constexpr size_t kHeaderOffset = 4;

uint64_t Be32At(const uint8_t* at) {
  return (uint64_t{at[0]} << 24) | (uint64_t{at[1]} << 16) | (uint64_t{at[2]} << 8) | at[3];
}

// The same header read at an offset. It is judged against the whole file's
// size, so it answers as an image of the bytes after the offset would if that
// image were as long as the whole file (zero-filled at its end): the same,
// unless the file ends before the pattern name table does, the last byte
// GetPictureInfo reads, which is a short read.
void CheckAtOffset(const uint8_t* data, size_t size, const char* path) {
  if (size < kHeaderOffset) return;
  std::vector<uint8_t> as_long_as_the_file(data + kHeaderOffset, data + size);
  as_long_as_the_file.resize(size, 0);
  PictureInfo from_memory = UntouchedPictureInfo();
  const int32_t memory_answer =
      Ifkrt().GetPictureInfo(reinterpret_cast<const char*>(as_long_as_the_file.data()),
                             static_cast<int32_t>(size), 1, &from_memory);
  PictureInfo from_file = UntouchedPictureInfo();
  const int32_t file_answer = Ifkrt().GetPictureInfo(path, kHeaderOffset, 0, &from_file);

  const uint8_t* header = as_long_as_the_file.data();
  const bool header_fits = size - kHeaderOffset >= kScreenHeaderSize;
  const bool names_fit =
      header_fits && kHeaderOffset + Be32At(header + 32) + Be32At(header + 36) <= size;
  if (!header_fits || (HeaderIsValid(header, size) && !names_fit)) {
    KRT_FUZZ_CHECK(file_answer == 6);
    KRT_FUZZ_CHECK(SameRecord(from_file, UntouchedPictureInfo()));
    return;
  }
  KRT_FUZZ_CHECK(file_answer == memory_answer);
  KRT_FUZZ_CHECK(SameRecord(from_file, from_memory));
}

}  // namespace

void FuzzImagePictureInfo(const uint8_t* data, size_t size) {
  const host::ImagePlugin& ifkrt = Ifkrt();
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
