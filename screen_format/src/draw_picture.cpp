#include "draw_picture.h"

namespace krt::image {

PictureCanvas MakeCanvas(const ScreenSections& screen, const PictureLayout& layout,
                         const BitmapSizes& sizes, uint32_t colour_count, uint8_t* pixels,
                         const uint8_t* lookup_table) {
  PictureCanvas canvas;
  canvas.mode = layout.mode;
  canvas.name_width = layout.geometry.name_width;
  canvas.character_size = layout.character_size;
  const uint32_t character_data_size = screen.size[kCharacterPatternData];
  if (character_data_size > kTablePrefixSize) {
    canvas.dot_data = screen.section[kCharacterPatternData] + kTablePrefixSize;
    canvas.dot_data_size = character_data_size - kTablePrefixSize;
  }
  canvas.width_px = layout.width_px;
  canvas.height_px = layout.height_px;
  canvas.pixels = pixels;
  // Both fit 32 bits: the caller allocated them as 32-bit blocks.
  canvas.row_stride = static_cast<uint32_t>(sizes.row_stride);
  canvas.palette_regions = layout.palette_regions;
  canvas.colour_count = colour_count;
  canvas.lookup_table = lookup_table;
  canvas.lookup_entries = static_cast<uint32_t>(sizes.lookup_bytes / kLookupEntrySize);
  return canvas;
}

void DrawPicture(const PictureLayout& layout, const PictureCanvas& canvas) {
  NameDrawerFor(canvas, FastestDrawingPath())(canvas, layout, 0, 0);
}

}  // namespace krt::image
