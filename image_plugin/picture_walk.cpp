#include "picture_walk.h"

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
  const PageGeometry& geometry = layout.geometry;
  // Chosen once for the whole picture.
  const NameRowDrawer draw_row = NameRowDrawerFor(canvas, FastestDrawingPath());
  DrawnBoxes boxes;
  DrawnBoxes* drawn = nullptr;
  if (canvas.mode == RenderingMode::kLookup) {
    ClearDrawnBoxes(&boxes);
    drawn = &boxes;
  }
  const uint64_t names_per_page = uint64_t{geometry.names_per_row} * geometry.rows_per_page;
  const uint64_t used_width = static_cast<uint64_t>(layout.used_width);
  const uint64_t used_height = static_cast<uint64_t>(layout.used_height);
  for (uint64_t page_row = 0; page_row < geometry.pages_down; ++page_row) {
    const uint64_t first_row = page_row * geometry.rows_per_page;
    if (first_row >= used_height) break;
    for (uint64_t page_column = 0; page_column < geometry.pages_across; ++page_column) {
      const uint64_t first_column = page_column * geometry.names_per_row;
      if (first_column >= used_width) break;
      const uint64_t page = page_row * geometry.pages_across + page_column;
      // The names of a page row that lie inside the used width.
      const uint64_t names_used = used_width - first_column < geometry.names_per_row
                                      ? used_width - first_column
                                      : geometry.names_per_row;
      for (uint64_t row = 0; row < geometry.rows_per_page; ++row) {
        if (first_row + row >= used_height) break;
        const uint64_t index = page * names_per_page + row * geometry.names_per_row;
        draw_row(canvas, drawn, layout.names + index * geometry.name_width,
                 static_cast<uint32_t>(names_used), static_cast<int32_t>(first_column),
                 static_cast<int32_t>(first_row + row));
      }
    }
  }
}

}  // namespace krt::image
