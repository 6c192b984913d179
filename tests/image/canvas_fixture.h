// A picture canvas over test-owned buffers, and its pixels read back as
// rows of text, top row first, so that expected pictures can be written out
// by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "draw_character.h"

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

  // One character per pixel: its value as a hex digit (4- and 8-bit pixels
  // below 16), or "pd" pairs of hex digits per pixel when `pairs` is set.
  // For 24-bit pixels the lookup entry whose colour the pixel shows, as
  // three hex digits (see FillLookupWithEntryNumbers).
  std::vector<std::string> Rows(bool pairs = false) const;

  // Lookup entry e becomes blue = e & 0xFF, green = e >> 8, red = 0xEE, so a
  // pixel names the entry it was taken from.
  void FillLookupWithEntryNumbers(uint32_t entries);
};

// Cells from 8 rows of 8 hex digits, one per dot: packed two dots a byte for
// 16-colour data, one a byte for 256-colour data.
std::vector<uint8_t> Cell16(const std::vector<std::string>& rows);
std::vector<uint8_t> Cell256(const std::vector<std::string>& rows);

// A cell filled with `fill`, whose top-left dot is F: where the F lands shows
// how the cell was placed and mirrored.
std::vector<std::string> MarkedCell(char fill);

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes);

}  // namespace krt::test
