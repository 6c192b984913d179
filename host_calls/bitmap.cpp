#include "bitmap.h"

#include <utility>

namespace krt::host {
namespace {

// The blocks are in the platform's little-endian order.
uint32_t Le32(const std::vector<uint8_t>& bytes, size_t offset) {
  return uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 |
         uint32_t{bytes[offset + 2]} << 16 | uint32_t{bytes[offset + 3]} << 24;
}

uint16_t Le16(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// Pictures beyond this are refused rather than trusted: 32768 x 32768 dots
// at 24 bits would already be 3 GB.
constexpr uint64_t kLargestPixelBlock = uint64_t{1} << 30;

}  // namespace

bool ReadBitmapBlocks(std::vector<uint8_t> info_block, std::vector<uint8_t> pixel_block,
                      Bitmap* bitmap, std::string* error) {
  if (info_block.size() < kBitmapHeaderSize || Le32(info_block, 0) != kBitmapHeaderSize) {
    *error = "the plug-in handed over a bitmap without a valid header";
    return false;
  }
  const int32_t width = static_cast<int32_t>(Le32(info_block, 4));
  const int32_t height = static_cast<int32_t>(Le32(info_block, 8));
  const uint16_t depth = Le16(info_block, 14);
  const uint32_t compression = Le32(info_block, 16);
  const uint32_t colours_used = Le32(info_block, 32);
  if (width <= 0 || height == 0 || height == INT32_MIN || compression != 0 ||
      (depth != 4 && depth != 8 && depth != 24)) {
    *error = "the plug-in handed over a bitmap krt cannot write (width " + std::to_string(width) +
             ", height " + std::to_string(height) + ", " + std::to_string(depth) +
             " bits per pixel, compression " + std::to_string(compression) + ")";
    return false;
  }
  uint32_t palette_entries = depth == 24 ? 0 : (1u << depth);
  if (colours_used != 0 && colours_used < palette_entries) palette_entries = colours_used;

  const uint64_t slots_held = (info_block.size() - kBitmapHeaderSize) / kColourSlotSize;
  if (slots_held < palette_entries) {
    *error = "the bitmap's colour table is shorter than its " + std::to_string(palette_entries) +
             " colours";
    return false;
  }
  const uint64_t slots_kept = slots_held < kMaxColourSlots ? slots_held : kMaxColourSlots;
  info_block.resize(kBitmapHeaderSize + kColourSlotSize * slots_kept);

  const uint64_t rows = height < 0 ? uint64_t(-int64_t{height}) : uint64_t(height);
  const uint64_t stride = (uint64_t{depth} * uint32_t(width) + 31) / 32 * 4;
  const uint64_t pixel_bytes = stride * rows;
  if (pixel_bytes > kLargestPixelBlock) {
    *error = "the bitmap is too large (" + std::to_string(pixel_bytes) + " bytes of pixels)";
    return false;
  }
  if (pixel_block.size() < pixel_bytes) {
    *error = "the pixel block holds " + std::to_string(pixel_block.size()) +
             " bytes, fewer than the " + std::to_string(pixel_bytes) + " the header needs";
    return false;
  }
  pixel_block.resize(static_cast<size_t>(pixel_bytes));

  bitmap->info = std::move(info_block);
  bitmap->pixels = std::move(pixel_block);
  bitmap->width = uint32_t(width);
  bitmap->rows = uint32_t(rows);
  bitmap->bottom_up = height > 0;
  bitmap->depth = depth;
  bitmap->palette_entries = palette_entries;
  bitmap->stride = uint32_t(stride);
  return true;
}

}  // namespace krt::host
