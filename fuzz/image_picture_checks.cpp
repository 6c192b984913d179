#include "image_picture_checks.h"

#include <cstring>

#include "fuzz_check.h"
#include "host_side.h"
#include "reference_layout.h"

namespace krt::fuzz {
namespace {

constexpr size_t kBitmapInfoSize = 1064;
constexpr size_t kColourSlots = 256;

int32_t Le32(const uint8_t* at) {
  return static_cast<int32_t>(uint32_t{at[0]} | (uint32_t{at[1]} << 8) | (uint32_t{at[2]} << 16) |
                              (uint32_t{at[3]} << 24));
}

uint16_t Le16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

PictureInfo UntouchedPictureInfo() {
  PictureInfo info;
  std::memset(&info, 0xCD, sizeof info);
  return info;
}

bool SameRecord(const PictureInfo& a, const PictureInfo& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckPictureInfo(const PictureInfo& info) {
  KRT_FUZZ_CHECK(info.left == 0 && info.top == 0);
  KRT_FUZZ_CHECK(info.width > 0 && info.width % 8 == 0);
  KRT_FUZZ_CHECK(info.height > 0 && info.height % 8 == 0);
  KRT_FUZZ_CHECK(info.x_density == 0 && info.y_density == 0);
  KRT_FUZZ_CHECK(info.colour_depth == 4 || info.colour_depth == 8 || info.colour_depth == 24);
  KRT_FUZZ_CHECK(info.text == nullptr);
}

Bitmap TakeBitmap(MemoryHandle info_handle, MemoryHandle pixel_handle, const PictureInfo& info) {
  Bitmap bitmap;
  bitmap.info_block = TakeHandedBlock(info_handle, kBitmapInfoSize);
  const uint8_t* header = bitmap.info_block.data();
  const uint64_t stride =
      (uint64_t{static_cast<uint16_t>(info.colour_depth)} * static_cast<uint32_t>(info.width) +
       31) /
      32 * 4;
  const uint64_t image_size = stride * static_cast<uint32_t>(info.height);
  KRT_FUZZ_CHECK(Le32(header) == 40);
  KRT_FUZZ_CHECK(Le32(header + 4) == info.width);
  KRT_FUZZ_CHECK(Le32(header + 8) == info.height);
  KRT_FUZZ_CHECK(Le16(header + 12) == 1);
  KRT_FUZZ_CHECK(Le16(header + 14) == static_cast<uint16_t>(info.colour_depth));
  KRT_FUZZ_CHECK(Le32(header + 16) == 0);
  KRT_FUZZ_CHECK(static_cast<uint32_t>(Le32(header + 20)) == image_size);
  for (size_t field = 24; field < 40; field += 4) KRT_FUZZ_CHECK(Le32(header + field) == 0);
  for (size_t slot = 0; slot < kColourSlots; ++slot) {
    const uint8_t* quad = header + 40 + 4 * slot;
    KRT_FUZZ_CHECK(quad[3] == 0);
    // A 24-bit picture carries its colours in the pixels, not in the table.
    if (info.colour_depth == 24) KRT_FUZZ_CHECK(quad[0] == 0 && quad[1] == 0 && quad[2] == 0);
  }
  bitmap.pixels = TakeHandedBlock(pixel_handle, image_size);
  return bitmap;
}

int32_t FileAnswerFor(int32_t memory_answer, size_t size) {
  return size < kScreenHeaderSize ? 6 : memory_answer;
}

}  // namespace krt::fuzz
