// The walk over the pattern names of a screen that draws each character
// inside the used extent.
#pragma once

#include <cstdint>

#include "bitmap_setup.h"
#include "drawing.h"
#include "picture_layout.h"
#include "screen_sections.h"

namespace krt::image {

// The per-picture values DrawCharacter reads. `pixels` is the zero-filled
// pixel block of sizes.pixel_bytes; `lookup_table` the colour lookup table of
// sizes.lookup_bytes (24-bit output only, else null). The screen's section 2
// must be loaded.
PictureCanvas MakeCanvas(const ScreenSections& screen, const PictureLayout& layout,
                         const BitmapSizes& sizes, uint32_t colour_count, uint8_t* pixels,
                         const uint8_t* lookup_table);

// Visits page rows, pages, rows and names in storage order and draws every
// name inside the used extent, on the fastest drawing path; pages, rows and
// names past it are not visited.
void DrawPicture(const PictureLayout& layout, const PictureCanvas& canvas);

}  // namespace krt::image
