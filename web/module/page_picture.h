// A picture as the page shows it: the plug-in's bitmap turned into RGBA dots
// for a canvas (whole, or fitted into a thumbnail's square), its colour
// table, and what the plug-in decided about the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap.h"

namespace krt::page {

struct PagePicture {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;
  int32_t mode = -1;  // the rendering mode, 0 to 3; -1 when not known
  int32_t palette_count = 0;
  // The colour table as RGBA, the slots a pixel value can select (none at
  // 24 bits).
  std::vector<uint8_t> colours;
  // rgba_width x rgba_height dots, top row first, four bytes each.
  std::vector<uint8_t> rgba;
  int32_t rgba_width = 0;
  int32_t rgba_height = 0;
  // Whole 4- and 8-bit pictures only: the dot values as drawn, top row
  // first, (width * depth + 7) / 8 bytes a row, for saving them as they are.
  std::vector<uint8_t> dots;
  // Every colour of the screen's colour table, all its palettes, as RGBA.
  std::vector<uint8_t> table;
};

// The RGBA dots of `bitmap`; with `fit_px` above 0 a picture larger than a
// fit_px square is sampled down, nearest dot, to fit into it.
void ToRgba(const host::Bitmap& bitmap, int32_t fit_px, PagePicture* picture);

// The rendering mode and palette count the plug-in chooses for the screen
// file `image`, from its own layout decision. False when it chooses none.
bool DescribeScreen(const std::vector<uint8_t>& image, PagePicture* picture);

}  // namespace krt::page
