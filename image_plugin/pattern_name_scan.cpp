#include "pattern_name_scan.h"

#include <cstring>

#include "page_geometry.h"
#include "pattern_name.h"

namespace krt::image {

namespace {

// The position of the last non-zero name of a row, or -1; marks the bank of
// every non-zero name (its palette number).
template <uint32_t kWidth>
int64_t LastNonZeroName(const uint8_t* row, uint32_t names, uint8_t* banks) {
  int64_t last = -1;
  for (uint32_t position = 0; position < names; ++position) {
    const uint8_t* name = row + kWidth * position;
    // Any byte order tells zero from non-zero.
    uint32_t value = 0;
    std::memcpy(&value, name, kWidth);
    if (value != 0) {
      last = position;
      banks[StoredNamePalette(name)] = 1;
    }
  }
  return last;
}

}  // namespace

UsedExtent ScanPatternNameTable(const uint8_t* names, int32_t pages_across, int32_t pages_down,
                                uint16_t format_word, uint32_t section_size, uint8_t* flags) {
  PageGeometry geometry;
  if (ComputePageGeometry(pages_across, pages_down, format_word, section_size, &geometry) !=
      GeometryStatus::kWholeRows) {
    return UsedExtent{-1, -1};
  }

  // One pass serves both results: every non-zero name lies inside the used
  // extent, so flags over all names equal flags over the extent.
  uint8_t banks[kBankCount] = {};
  int64_t last_column = -1;
  int64_t last_row = -1;
  const uint32_t width = geometry.name_width;
  const uint8_t* name = names;
  for (uint32_t page_row = 0; page_row < geometry.pages_down; ++page_row) {
    for (uint32_t page_column = 0; page_column < geometry.pages_across; ++page_column) {
      for (uint32_t row = 0; row < geometry.rows_per_page; ++row) {
        const int64_t last_in_row = width == 4
                                        ? LastNonZeroName<4>(name, geometry.names_per_row, banks)
                                        : LastNonZeroName<2>(name, geometry.names_per_row, banks);
        name += uint64_t{width} * geometry.names_per_row;
        if (last_in_row < 0) continue;
        const int64_t column = int64_t{page_column} * geometry.names_per_row + last_in_row;
        if (column > last_column) last_column = column;
        const int64_t screen_row = int64_t{page_row} * geometry.rows_per_page + row;
        if (screen_row > last_row) last_row = screen_row;
      }
    }
  }

  if (flags != nullptr) std::memcpy(flags, banks, sizeof banks);
  // The pages lie inside a 32-bit table, so both counts fit.
  return UsedExtent{static_cast<int32_t>(last_column + 1), static_cast<int32_t>(last_row + 1)};
}

}  // namespace krt::image
