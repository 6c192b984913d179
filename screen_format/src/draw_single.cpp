// Drawing characters one at a time, outside the walk over a whole picture:
// for character sheets, maps and tests. Kept apart from the picture drawing
// so that a plug-in that only draws whole pictures does not carry it.
#include "drawing.h"

#include "draw_rows.h"

namespace krt::image {

DecodedName DecodePatternName(const PictureCanvas& canvas, uint32_t name) {
  const NameFields fields = FieldsOf(canvas);
  DecodedName decoded;
  decoded.character = (name & fields.character_mask) >>
                      NameCharacterShift(canvas.name_width, HasByteDots(canvas.mode));
  decoded.flip_horizontal = (name & fields.flip_horizontal_mask) != 0;
  decoded.flip_vertical = (name & fields.flip_vertical_mask) != 0;
  return decoded;
}

void DrawNameRow(const PictureCanvas& canvas, DrawingPath path, const uint8_t* names,
                 uint32_t count, int32_t x, int32_t y) {
  // A screen of one page holding the one row.
  PictureLayout row;
  row.geometry.pages_across = 1;
  row.geometry.pages_down = 1;
  row.geometry.name_width = canvas.name_width;
  row.geometry.names_per_row = count;
  row.geometry.rows_per_page = 1;
  row.names = names;
  row.used_width = static_cast<int32_t>(count);
  row.used_height = 1;
  NameDrawerFor(canvas, path)(canvas, row, x, y);
}

void DrawCharacter(const PictureCanvas& canvas, uint32_t name, int32_t x, int32_t y) {
  // The name goes through as one stored in the picture's own width.
  uint8_t stored[4];
  if (canvas.name_width == 4) {
    for (uint32_t i = 0; i < 4; ++i) stored[i] = static_cast<uint8_t>(name >> (24 - 8 * i));
  } else {
    stored[0] = static_cast<uint8_t>(name >> 8);
    stored[1] = static_cast<uint8_t>(name);
  }
  DrawNameRow(canvas, FastestDrawingPath(), stored, 1, x, y);
}

}  // namespace krt::image
