// The Windows device-independent bitmap GetPicture hands over: its sizes,
// worked out before anything is allocated, the bitmap-info block (header and
// 256-slot colour table) and, for 24-bit output, the colour lookup table,
// both filled from the screen's colour entries.
#pragma once

#include <cstdint>

#include "picture_layout.h"
#include "screen_sections.h"

namespace krt::image {

// A 16-bit colour entry of the colour table as the three bytes a Windows
// bitmap stores. `entry` is the big-endian 16-bit entry: bit 15 a flag, bits
// 14-10 blue, 9-5 green, 4-0 red. Each 5-bit component becomes component x 8,
// plus 4 when the flag is set. Writes out[0] = blue, out[1] = green,
// out[2] = red.
void ConvertColourEntry(const uint8_t* entry, uint8_t* out);

constexpr uint32_t kBitmapHeaderSize = 40;
constexpr uint32_t kBitmapColourSlots = 256;
constexpr uint32_t kBitmapInfoSize = kBitmapHeaderSize + 4 * kBitmapColourSlots;
constexpr uint32_t kLookupEntrySize = 3;  // blue, green, red

// Exact sizes, computed wide so that no product wraps; a caller refuses any
// that does not fit a 32-bit block.
struct BitmapSizes {
  uint64_t row_stride = 0;
  uint64_t pixel_bytes = 0;
  uint64_t lookup_bytes = 0;  // 0 unless the rendering mode looks colours up
};

BitmapSizes MeasureBitmap(const PictureLayout& layout, uint32_t colour_table_size);

// The first colour entry of the bitmap colour table. With the palettes'
// own banks (banked nibbles) the table starts at entry 0; otherwise at the
// bank of the lowest palette the names use, unless that bank starts past the
// `entries` the table holds.
uint32_t StartEntry(const PictureLayout& layout, uint32_t entries);

// The colours SetUpBitmap takes for `layout` from a table of `entries`: one
// palette's bank, or every entry (at most the 256 slots unless looked up).
uint32_t BitmapColourCount(const PictureLayout& layout, uint32_t entries);

// Fills the zero-filled bitmap-info block: the header, and the colour table
// for 4- and 8-bit output. For 24-bit output fills the colour lookup table
// instead, which must be zero-filled and lookup_bytes long. Answers the
// colour count: how many colours were taken, the bound DrawCharacter puts on
// palette numbers.
uint32_t SetUpBitmap(const ScreenSections& screen, const PictureLayout& layout,
                     const BitmapSizes& sizes, uint8_t* info_block, uint8_t* lookup_table);

}  // namespace krt::image
