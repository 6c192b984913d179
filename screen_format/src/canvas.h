// The canvas characters are drawn on: what every character of one picture
// shares, and the shape of a function that draws a screen's names onto it.
// The drawing units and their callers both read it.
#pragma once

#include <cstdint>

#include "picture_layout.h"
#include "rendering_mode.h"

namespace krt::image {

// What every character of one picture shares; set up once from the picture's
// layout (MakeCanvas), then only read.
struct PictureCanvas {
  RenderingMode mode = RenderingMode::kNibbles;
  uint32_t name_width = 2;      // bytes: 2 or 4
  uint32_t character_size = 8;  // dots: 8 or 16
  // Cell 0 onward, after the character pattern data's prefix; null and 0
  // when the section holds no more than its prefix.
  const uint8_t* dot_data = nullptr;
  uint32_t dot_data_size = 0;
  int32_t width_px = 0;
  int32_t height_px = 0;
  uint8_t* pixels = nullptr;  // bottom row first
  uint32_t row_stride = 0;
  const uint8_t* palette_regions = nullptr;  // null when the screen has none
  uint32_t colour_count = 0;                 // bounds palette numbers
  const uint8_t* lookup_table = nullptr;     // 24-bit output only
  uint32_t lookup_entries = 0;
};

struct DecodedName {
  uint32_t character = 0;
  bool flip_horizontal = false;
  bool flip_vertical = false;
};

// Draws the names of `layout` (its geometry, names and used extent), the
// screen's first name at character column origin_x and row origin_y: page
// rows, pages, rows and names in storage order, every name inside the used
// extent. A name that is skipped, a character that lies outside the dot
// data, or a box outside the picture leaves its box of character_size dots
// square as it is; nothing outside the boxes is written.
using NameDrawer = void (*)(const PictureCanvas& canvas, const PictureLayout& layout,
                            int32_t origin_x, int32_t origin_y);

}  // namespace krt::image
