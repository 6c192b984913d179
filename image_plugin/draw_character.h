// Drawing characters of the screen into the pixel block: decoding their
// pattern names, choosing their palettes, and copying their one or four
// cells with the flips applied. The templates doing it are in
// character_drawing.h; this is what the rest of the plug-in calls.
#pragma once

#include <cstddef>
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

// The character number and flips of a pattern name. 1-word names take one of
// three forms, chosen by how much dot data there is (pattern_name.h).
DecodedName DecodePatternName(const PictureCanvas& canvas, uint32_t name);

// Which drawing code runs: plain words on any processor, or 16-byte vectors.
// Both give the same bytes.
enum class DrawingPath : uint8_t { kScalar, kVector };

// The vector path where this build has it (the KRT_SIMD option) and the
// processor runs it, else the scalar one. Asks the processor each time: the
// plug-ins keep no state between calls, and drawing a picture costs far
// more.
DrawingPath FastestDrawingPath();

// Draws the names of `layout` (its geometry, names and used extent), the
// screen's first name at character column origin_x and row origin_y: page
// rows, pages, rows and names in storage order, every name inside the used
// extent. A name that is skipped, a character that lies outside the dot
// data, or a box outside the picture leaves its box of character_size dots
// square as it is; nothing outside the boxes is written.
using NameDrawer = void (*)(const PictureCanvas& canvas, const PictureLayout& layout,
                            int32_t origin_x, int32_t origin_y);

// The drawing function for the canvas's mode, name width and character size
// on `path`; the scalar one when this build has no vector path.
NameDrawer NameDrawerFor(const PictureCanvas& canvas, DrawingPath path);

// `count` names stored one after another (name width apart) from `names`,
// at character columns x, x + 1, ... of row y, on `path`; one name handed
// over already read, at character column x and row y, on the fastest path.
void DrawNameRow(const PictureCanvas& canvas, DrawingPath path, const uint8_t* names,
                 uint32_t count, int32_t x, int32_t y);
void DrawCharacter(const PictureCanvas& canvas, uint32_t name, int32_t x, int32_t y);

}  // namespace krt::image
