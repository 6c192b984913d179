// The one decision GetPictureInfo and GetPicture share: from the screen
// descriptor, the pattern name table, the colour table's size and the
// palette regions, what the picture is: its extent, character size, palette
// count, rendering mode and output depth. Both exports take it from here, so
// the size and depth the host is promised are those of the bitmap it gets.
#pragma once

#include <cstdint>

#include "page_geometry.h"
#include "pattern_name_scan.h"
#include "rendering_mode.h"
#include "screen_format/screen.h"
#include "screen_sections.h"

namespace krt::image {

struct PictureLayout {
  PageGeometry geometry;
  const uint8_t* names = nullptr;  // the first pattern name
  int32_t used_width = 0;          // characters
  int32_t used_height = 0;         // characters
  uint8_t bank_flags[kBankCount] = {};
  uint32_t colour_mode = 16;    // colours per dot: 16 or 256
  uint32_t character_size = 8;  // dots: 8 or 16
  int32_t width_px = 0;
  int32_t height_px = 0;
  const uint8_t* palette_regions = nullptr;  // null when the screen has none
  uint32_t palette_count = 0;
  RenderingMode mode = RenderingMode::kNibbles;
  uint32_t output_depth = 4;  // bits per pixel: 4, 8 or 24
};

// What the pattern name table's format word says of every character.
struct CharacterFormat {
  uint16_t format_word = 0;
  uint32_t colour_mode = 16;    // colours per dot: 16 or 256
  uint32_t character_size = 8;  // dots: 8 or 16
  uint32_t name_width = 2;      // bytes: 2 or 4
};

// The format word of `screen` (sections 0 and 1 loaded). False when the
// screen descriptor is too short for the page counts or the pattern name
// table shorter than its prefix, which holds the word.
bool ReadCharacterFormat(const ScreenSections& screen, CharacterFormat* format);

// What DecidePictureLayout finds: kReady, or why the screen has no picture
// (never kNotAScreen: the header has been checked before).
using LayoutStatus = format::ScreenStatus;

// Reads the header, the screen descriptor and the pattern name table of
// `screen` (sections 0 and 1 must be loaded); of the colour table only its
// size. Fills `layout` only when the answer is kReady.
LayoutStatus DecidePictureLayout(const ScreenSections& screen, PictureLayout* layout);

// Colour entries after the colour table's prefix; a table shorter than its
// prefix holds none.
uint32_t ColourEntryCount(uint32_t colour_table_size);

}  // namespace krt::image
