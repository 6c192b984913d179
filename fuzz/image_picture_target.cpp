// IFKRT's GetPicture on a memory image and on the same bytes as a file. Both
// must deliver the same bitmap, the one GetPictureInfo describes.
#include <optional>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_targets.h"
#include "host_side.h"
#include "image_picture_checks.h"
#include "platform_control.h"

namespace krt::fuzz {
namespace {

// The pixel block covers the used extent only, which ends at a non-zero
// name that is present in the data: at most one 16 x 16 character of 3
// bytes per dot for every 2 bytes of input. Nothing else GetPicture
// allocates is larger than its input.
constexpr uint64_t kMostBytesPerInputByte = 16 * 16 * 3 / 2;
constexpr uint64_t kBitmapInfoBytes = 1064;

struct PictureAnswer {
  int32_t result;
  std::optional<Bitmap> bitmap;
};

PictureAnswer Decode(const char* source, int32_t offset_or_length, uint32_t flag,
                     const PictureInfo& described) {
  ProgressRecorder progress;
  const host::PictureCall call = host::CallGetPicture(
      Ifkrt(), {source, offset_or_length, flag}, {ProgressRecorder::Record, progress.UserValue()});
  const int32_t result = call.result;
  KRT_FUZZ_CHECK(result == 0 || result == 2 || result == 3 || result == 4 || result == 6);
  if (result != 0) {
    KRT_FUZZ_CHECK(call.slots_untouched);
    // The entry report always; the loaded report only once loading worked;
    // never the final one.
    KRT_FUZZ_CHECK(progress.ReceivedFirst(1, 2) || progress.ReceivedFirst(2, 2));
    return {result, std::nullopt};
  }
  KRT_FUZZ_CHECK(progress.ReceivedFirst(3, 2));
  return {result, TakeBitmap(call.info, call.pixels, described)};
}

}  // namespace

void FuzzImagePicture(const uint8_t* data, size_t size) {
  const host::ImagePlugin& ifkrt = Ifkrt();
  KRT_FUZZ_CHECK(ifkrt.GetPicture != nullptr && ifkrt.GetPictureInfo != nullptr);
  const HeldResources before = CurrentlyHeld();
  const std::vector<uint8_t> image(data, data + size);
  const auto length = static_cast<int32_t>(size);
  const auto* source = reinterpret_cast<const char*>(image.data());

  KrtPlatformReset();
  PictureInfo described = UntouchedPictureInfo();
  const int32_t info_answer = ifkrt.GetPictureInfo(source, length, 1, &described);

  const PictureAnswer from_memory = Decode(source, length, 1, described);
  KRT_FUZZ_CHECK(KrtPlatformLargestRequest() <= kMostBytesPerInputByte * size + kBitmapInfoBytes);
  KRT_FUZZ_CHECK(from_memory.result != 6);
  // GetPictureInfo describes every picture GetPicture can build, and only those.
  KRT_FUZZ_CHECK((info_answer == 0) == (from_memory.result == 0 || from_memory.result == 4));
  CheckNothingLeftHeld(before);

  const PictureAnswer from_file = Decode(WriteInputFile(data, size), 0, 0, described);
  KRT_FUZZ_CHECK(from_file.result == FileAnswerFor(from_memory.result, size) ||
                 from_file.result == 4 || from_memory.result == 4);
  if (from_memory.bitmap && from_file.bitmap) {
    KRT_FUZZ_CHECK(from_file.bitmap->info_block == from_memory.bitmap->info_block);
    KRT_FUZZ_CHECK(from_file.bitmap->pixels == from_memory.bitmap->pixels);
  }
  CheckNothingLeftHeld(before);
}

}  // namespace krt::fuzz
