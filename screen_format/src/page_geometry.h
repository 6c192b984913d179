// How the pattern names of a screen fall into pages, rows and names. The
// geometry follows from the page counts, the name width and the size of the
// pattern name table alone.
#pragma once

#include <cstdint>

#include "screen_layout.h"

namespace krt::image {

// Bits of the pattern name table's format word (screen flags byte high, name
// format byte low).
constexpr uint16_t kFormat256Colours = 0x1000;
constexpr uint16_t kFormatCells2x2 = 0x0100;
constexpr uint16_t kFormatNameWidthMask = 0x00C0;
constexpr uint16_t kFormatTwoWordNames = 0x0080;

struct PageGeometry {
  uint32_t pages_across = 0;
  uint32_t pages_down = 0;
  uint32_t name_width = 0;      // bytes: 2 or 4
  uint32_t bytes_per_page = 0;  // remainder of the division belongs to no page
  uint32_t row_length = 0;      // bytes: 64 or 128
  uint32_t names_per_row = 0;   // 16, 32 or 64
  // Full width: a page of many megabytes holds more than 65535 rows, and a
  // narrower count would make the scan and the walk see different pages.
  uint32_t rows_per_page = 0;
};

enum class GeometryStatus {
  kWholeRows,    // every page is a whole number of rows
  kPartialRows,  // bytes per page is no multiple of the row length
  kUndefined,    // no pages, a table shorter than its prefix, or empty pages
};

// 4 when the format word selects 2-word names, else 2.
uint32_t NameWidth(uint16_t format_word);

// Fills everything but rows_per_page for kPartialRows (the row test still
// needs it), everything for kWholeRows, and nothing for kUndefined. Empty
// pages (fewer table bytes than pages) count as undefined: such a screen
// shows nothing, and rejecting it at once keeps a header that declares
// billions of pages over a tiny table from costing billions of steps.
GeometryStatus ComputePageGeometry(int32_t pages_across, int32_t pages_down, uint16_t format_word,
                                   uint32_t name_table_size, PageGeometry* geometry);

// GetPicture's own page-size test: bytes per page a multiple of twice the
// names per row. For 4-byte names that is half a row, so a page can pass it
// and still not be whole rows.
bool PassesRowTest(const PageGeometry& geometry);

}  // namespace krt::image
