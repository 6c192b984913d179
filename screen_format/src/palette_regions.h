// The palette-region records of the screen header: up to 32 rectangles of
// characters, each naming the palette bank of the characters inside it.
#pragma once

#include <cstdint>

namespace krt::image {

// `records` is header byte 88 on: 32 records of x, y, width, height, palette.
// The list ends at the first record whose first four bytes are zero.
bool HasPaletteRegions(const uint8_t* records);

// How many palettes the regions bring into use within the used extent: a
// change of palette between qualifying records counts one, starting from
// 255. Without regions, the number of banks the pattern names use.
uint32_t CountPalettes(const uint8_t* records, int32_t used_width, int32_t used_height,
                       const uint8_t* bank_flags);

// The palette of the first region covering character (x, y), or 0.
uint32_t RegionPalette(const uint8_t* records, int32_t x, int32_t y);

}  // namespace krt::image
