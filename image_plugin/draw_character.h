// Drawing one character of the screen into the pixel block: decoding its
// pattern name, choosing its palette, and copying its one or four cells with
// the flips applied.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rendering_mode.h"

namespace krt::image {

// What every character of one picture shares; set up once, then only read.
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

// Where a picture's pattern names keep their fields: character number =
// (name & character_mask) >> character_shift; a flip mask of 0 means that
// flip never applies.
struct NameFields {
  uint32_t character_mask = 0;
  uint32_t character_shift = 0;
  uint32_t flip_horizontal_mask = 0;
  uint32_t flip_vertical_mask = 0;
};

// Everything DrawCharacter decides once per picture rather than per name,
// with the canvas values it reads copied in: the drawing loops keep them in
// registers, as pixel stores could otherwise alias a canvas held by pointer.
struct CharacterPlan {
  NameFields fields;
  uint32_t characters = 0;       // whole characters in the dot data
  uint32_t character_bytes = 0;  // of dot data: cells x cell bytes
  uint32_t palette_limit = 0;    // a larger palette number becomes 0
  const uint8_t* dot_data = nullptr;
  int64_t width_px = 0;
  int64_t height_px = 0;
  uint8_t* pixels = nullptr;
  size_t row_stride = 0;
  const uint8_t* palette_regions = nullptr;
  const uint8_t* lookup_table = nullptr;
  uint32_t lookup_entries = 0;
  RenderingMode mode = RenderingMode::kNibbles;
  uint32_t name_width = 2;
  uint32_t cells = 1;
};

CharacterPlan PlanCharacters(const PictureCanvas& canvas);

// The character number and flips of a pattern name. 1-word names take one of
// three forms, chosen by how much dot data there is: below the first
// threshold 10 bits of character number and two flip bits, below the second
// 12 bits, above it all 16.
DecodedName DecodePatternName(const PictureCanvas& canvas, uint32_t name);

// Draws the character of pattern name `name` at character column x and row y,
// inside its box of character_size dots square and nowhere else. A name that
// is skipped, a character that lies outside the dot data, or a box outside
// the picture leaves the box as it is.
void DrawCharacter(const PictureCanvas& canvas, uint32_t name, int32_t x, int32_t y);

// DrawCharacter for `count` pattern names stored one after another (name
// width apart) from `names`, at character columns x, x + 1, ... of row y.
void DrawNameRow(const CharacterPlan& plan, const uint8_t* names, uint32_t count, int32_t x,
                 int32_t y);

}  // namespace krt::image
