// A screen file held whole in memory, as every front end reads it: what it
// is (size, depth, rendering mode, colour mode, character size, palettes),
// its picture with exactly the image plug-in's dots, its characters one at a
// time, its colours, and what each cell of the used extent shows. Plain
// functions over the caller's bytes and buffers: nothing here allocates,
// touches the platform or keeps state.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krt::format {

enum class ScreenStatus : uint8_t {
  kReady,              // the screen has a picture
  kNotAScreen,         // the header check fails, or the image is too short for it
  kUndefinedGeometry,  // no pages, or a descriptor or name table too short to say
  kFailsRowTest,       // pages are no multiple of twice the names per row
  kNothingToShow,      // every pattern name is zero, or the pages are not whole rows
};

inline constexpr uint32_t kBankCount = 16;
// The bitmap-info block of a picture: a 40-byte header and 256 colour slots
// of blue, green, red and a zero byte.
inline constexpr uint32_t kPictureInfoSize = 40 + 4 * 256;

struct ScreenDescription {
  // What the format word says of the characters: known whenever the pattern
  // name table holds its prefix, even when the screen has no picture.
  bool has_characters = false;
  uint32_t colour_mode = 16;     // colours per dot: 16 or 256
  uint32_t character_size = 8;   // dots: 8 or 16
  uint32_t name_width = 2;       // bytes per pattern name: 2 or 4
  uint32_t character_count = 0;  // whole characters in the character pattern data
  uint32_t colour_count = 0;     // entries of the colour table

  // The picture: set when the status is kReady.
  int32_t used_width = 0;  // characters
  int32_t used_height = 0;
  int32_t width_px = 0;
  int32_t height_px = 0;
  uint32_t depth = 0;           // bits per pixel: 4, 8 or 24
  uint32_t rendering_mode = 0;  // 0 to 3
  uint32_t palette_count = 0;
  uint8_t bank_flags[kBankCount] = {};  // 1 where a non-zero name has that palette
  uint32_t lowest_bank = 0;             // the first flagged bank, else 0
  // What DrawScreenPicture needs from the caller.
  uint64_t row_stride = 0;
  uint64_t pixel_bytes = 0;
  uint64_t lookup_bytes = 0;  // scratch for 24-bit pictures, else 0
};

// Whether a file whose first `available` bytes are at `first_bytes` is a
// screen file, by the image plug-in's header check: the magic and the four
// sections in table order, the colour table ending within `file_length`
// bytes (a length past 32 bits counts as the largest 32-bit one). Needs
// kShortestScreenImage bytes; fewer never pass.
bool IsScreenFileStart(const uint8_t* first_bytes, size_t available, uint64_t file_length);

// Describes the screen file of `length` bytes at `image`, its header first.
// Everything but the picture is filled for kNothingToShow, kFailsRowTest and
// kUndefinedGeometry as far as the file tells it.
ScreenStatus DescribeScreen(const uint8_t* image, size_t length, ScreenDescription* description);

// Draws the picture of a ready screen as the image plug-in hands it over:
// `info` receives the bitmap-info block (kPictureInfoSize bytes), `pixels`
// the rows bottom row first (pixel_bytes), drawing into `lookup` on the way
// (lookup_bytes; null when 0). All three must be zero-filled. False when the
// screen is not ready or its picture exceeds kLargestPixelBlock.
bool DrawScreenPicture(const uint8_t* image, size_t length, uint8_t* info, uint8_t* pixels,
                       uint8_t* lookup);

// Where character dots are written: rows bottom row first, 4 bits a dot for
// 16-colour characters (high nibble first), 8 bits for 256-colour ones.
struct DotCanvas {
  uint8_t* pixels = nullptr;
  uint32_t row_stride = 0;
  int32_t width_px = 0;
  int32_t height_px = 0;
};

// Draws character `character` of the screen unflipped, as its stored dot
// values, into the box of column `column` and row `row` (in characters) of
// `canvas`; 16-dot characters as their four cells. False, with nothing
// written, when the character is not whole in the data or the box does not
// fit the canvas. The screen must have has_characters.
bool DrawStoredCharacter(const uint8_t* image, size_t length, uint32_t character,
                         const DotCanvas& canvas, int32_t column, int32_t row);

// The colour table's entry `index` converted as the plug-in converts it:
// blue, green, red. Black past the table's end.
void ScreenColour(const uint8_t* image, size_t length, uint32_t index, uint8_t* blue_green_red);

// What one cell of the used extent shows.
struct CellView {
  uint32_t name = 0;       // the pattern name as stored, read as one number
  uint32_t character = 0;  // character number
  uint32_t palette = 0;    // palette bank the picture draws it with
  bool flip_horizontal = false;
  bool flip_vertical = false;
  // False when the cell's box stays as it is: a skipped name, a character
  // past the data, or a palette whose colours the picture cannot hold.
  bool drawn = false;
};

// Every cell of a ready screen's used extent, row by row from the top left:
// `cells` holds used_width x used_height records. False when not ready.
bool DescribeCells(const uint8_t* image, size_t length, CellView* cells);

}  // namespace krt::format
