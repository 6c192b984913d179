#include "pattern_name_scan.h"

#include <cstring>

#include "page_geometry.h"

namespace krt::image {

namespace {

bool IsNonZero(const uint8_t* name, uint32_t width) {
  for (uint32_t i = 0; i < width; ++i) {
    if (name[i] != 0) return true;
  }
  return false;
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
        int64_t last_in_row = -1;
        for (uint32_t position = 0; position < geometry.names_per_row; ++position) {
          if (IsNonZero(name, width)) {
            last_in_row = position;
            banks[name[0] >> 4] = 1;
          }
          name += width;
        }
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
