// The picture a plug-in hands over, as krt keeps it: the bitmap-info block
// (header and colour table) and the pixel rows, both exactly as given, with
// the header's fields checked once so that the writers can trust them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace krt::host {

inline constexpr uint32_t kBitmapHeaderSize = 40;
inline constexpr uint32_t kColourSlotSize = 4;  // blue, green, red, unused
inline constexpr uint32_t kMaxColourSlots = 256;

struct Bitmap {
  // The header and the colour table, as many slots of it as the block holds
  // (at most 256).
  std::vector<uint8_t> info;
  // stride x rows bytes, in the plug-in's order (bottom row first when
  // bottom_up).
  std::vector<uint8_t> pixels;
  uint32_t width = 0;
  uint32_t rows = 0;
  bool bottom_up = true;
  uint16_t depth = 0;            // 4, 8 or 24
  uint32_t palette_entries = 0;  // colours a pixel value can select; 0 at 24 bits
  uint32_t stride = 0;

  // Slot k of the colour table: blue, green, red, unused.
  const uint8_t* ColourSlot(uint32_t k) const {
    return info.data() + kBitmapHeaderSize + kColourSlotSize * k;
  }
  // Picture row r, counted from the top.
  const uint8_t* Row(uint32_t r) const {
    const uint32_t stored = bottom_up ? rows - 1 - r : r;
    return pixels.data() + static_cast<size_t>(stride) * stored;
  }
};

// Builds a Bitmap from the two blocks' bytes. Answers false with a reason
// when the header is not an uncompressed 4-, 8- or 24-bit bitmap, or a block
// is too small for what the header says.
bool ReadBitmapBlocks(std::vector<uint8_t> info_block, std::vector<uint8_t> pixel_block,
                      Bitmap* bitmap, std::string* error);

}  // namespace krt::host
