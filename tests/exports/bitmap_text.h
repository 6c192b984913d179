// Pictures as text, so that expected bitmaps can be written out by hand:
// cells of character pattern data from rows of hex digits, and the pixels of
// a bottom-up Windows bitmap read back as rows, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace krt::test {

// Cells from 8 rows of 8 hex digits, one per dot: packed two dots a byte for
// 16-colour data, one a byte for 256-colour data.
std::vector<uint8_t> Cell16(const std::vector<std::string>& rows);
std::vector<uint8_t> Cell256(const std::vector<std::string>& rows);

// A cell filled with `fill`, whose top-left dot is F: where the F lands shows
// how the cell was placed and mirrored.
std::vector<std::string> MarkedCell(char fill);

// A cell of one value throughout.
std::vector<std::string> FilledCell(char fill);

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes);

// Names a 24-bit pixel from its blue, green and red bytes.
using ColourName = std::string (*)(const uint8_t* bgr);

struct BitmapView {
  const uint8_t* pixels = nullptr;  // bottom row first, rows padded to 4 bytes
  int32_t width = 0;
  int32_t height = 0;
  uint32_t depth = 0;  // 4, 8 or 24
};

// Each 4- or 8-bit pixel as one hex digit ('?' from 16 on), or with `pairs`
// each 8-bit pixel as two; each 24-bit pixel as `name` says.
std::vector<std::string> BitmapRows(const BitmapView& bitmap, bool pairs = false,
                                    ColourName name = nullptr);

}  // namespace krt::test
