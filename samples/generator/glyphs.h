// A small built-in font: capital letters, digits and a little punctuation,
// five dots wide and seven high, placed in an 8 x 8 cell.
#pragma once

#include <array>
#include <cstdint>

namespace krt::samples {

// Rows top to bottom, one byte each; bit 4 is the leftmost of the five dots.
using GlyphRows = std::array<uint8_t, 7>;

// The glyph of `c`; a blank one for characters the font does not have.
GlyphRows GlyphOf(char c);

}  // namespace krt::samples
