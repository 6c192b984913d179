// The analysis of a pattern name table: how far across and down the screen
// holds any non-zero pattern name, and which palette numbers those names
// carry.
#pragma once

#include <cstdint>

#include "screen_format/screen.h"

namespace krt::image {

using format::kBankCount;

// In characters, counted from the screen's top-left corner. (-1, -1) reports
// a table whose pages are not whole rows or whose geometry is undefined;
// (0, 0) a table whose names are all zero.
struct UsedExtent {
  int32_t width;
  int32_t height;
};

// `names` is the first pattern name (byte 16 of the table section), and the
// section's `section_size` - 16 bytes from it must be readable. Only the name
// width bits of `format_word` are used. `flags`, when not null, receives 16
// bank-usage bytes: byte k is 1 when a non-zero name has k in the high four
// bits of its first byte. On failure the flags are not touched.
UsedExtent ScanPatternNameTable(const uint8_t* names, int32_t pages_across, int32_t pages_down,
                                uint16_t format_word, uint32_t section_size, uint8_t* flags);

}  // namespace krt::image
