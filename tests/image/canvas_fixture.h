// A picture canvas over test-owned buffers, and its pixels read back as rows
// of text, top row first, so that expected pictures can be written out by
// hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_text.h"
#include "drawing.h"

namespace krt::test {

struct TestCanvas {
  image::PictureCanvas canvas;
  std::vector<uint8_t> dots;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> lookup;
  std::vector<uint8_t> regions = std::vector<uint8_t>(160, 0);

  // A picture of chars_across x chars_down characters.
  TestCanvas(image::RenderingMode mode, uint32_t character_size, uint32_t name_width,
             int32_t chars_across, int32_t chars_down);

  // Takes the dots (and, when they are non-empty, the regions and lookup
  // table) into the canvas. Call after changing any of them.
  void Attach();

  void Draw(uint32_t name, int32_t x, int32_t y);

  // As BitmapRows; a 24-bit pixel shows the lookup entry it was taken from
  // as three hex digits (see FillLookupWithEntryNumbers), "..." when black.
  std::vector<std::string> Rows(bool pairs = false) const;

  // Lookup entry e becomes blue = e & 0xFF, green = e >> 8, red = 0xEE, so a
  // pixel names the entry it was taken from.
  void FillLookupWithEntryNumbers(uint32_t entries);
};

}  // namespace krt::test
