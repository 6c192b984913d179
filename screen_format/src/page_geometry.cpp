#include "page_geometry.h"

namespace krt::image {

namespace {

// Pages of up to this many bytes have rows of 64 bytes, larger ones 128.
constexpr uint32_t kShortRowPageLimit = 2048;

}  // namespace

uint32_t NameWidth(uint16_t format_word) {
  return (format_word & kFormatNameWidthMask) == kFormatTwoWordNames ? 4 : 2;
}

GeometryStatus ComputePageGeometry(int32_t pages_across, int32_t pages_down, uint16_t format_word,
                                   uint32_t name_table_size, PageGeometry* geometry) {
  if (pages_across <= 0 || pages_down <= 0 || name_table_size < kTablePrefixSize) {
    return GeometryStatus::kUndefined;
  }
  const uint64_t pages =
      uint64_t{static_cast<uint32_t>(pages_across)} * static_cast<uint32_t>(pages_down);
  const uint64_t bytes_per_page = (name_table_size - kTablePrefixSize) / pages;
  if (bytes_per_page == 0) return GeometryStatus::kUndefined;

  PageGeometry result;
  result.pages_across = static_cast<uint32_t>(pages_across);
  result.pages_down = static_cast<uint32_t>(pages_down);
  result.name_width = NameWidth(format_word);
  result.bytes_per_page = static_cast<uint32_t>(bytes_per_page);
  result.row_length = result.bytes_per_page <= kShortRowPageLimit ? 64 : 128;
  result.names_per_row = result.row_length / result.name_width;
  const bool whole_rows = result.bytes_per_page % result.row_length == 0;
  if (whole_rows) result.rows_per_page = result.bytes_per_page / result.row_length;
  *geometry = result;
  return whole_rows ? GeometryStatus::kWholeRows : GeometryStatus::kPartialRows;
}

bool PassesRowTest(const PageGeometry& geometry) {
  return geometry.bytes_per_page % (2 * geometry.names_per_row) == 0;
}

}  // namespace krt::image
