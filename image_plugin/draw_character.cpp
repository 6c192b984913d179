// The drawing compiled for any processor of the target, and the one place
// that chooses between it and the vector drawing.
#include "draw_character.h"

#include "character_drawing.h"

#if KRT_SIMD && !defined(__SSE2__)
#include <cpuid.h>
#endif

namespace krt::image {

#if KRT_SIMD
// In draw_character_vector.cpp, compiled for processors with SSE2.
NameDrawer VectorNameDrawer(const PictureCanvas& canvas);
#endif

DrawingPath FastestDrawingPath() {
#if !KRT_SIMD
  return DrawingPath::kScalar;
#elif defined(__SSE2__)
  // The target itself promises it, as x86-64 always does.
  return DrawingPath::kVector;
#else
  // 32-bit x86 built for any processor: CPUID leaf 1 reports SSE2 in EDX.
  // Every processor a current Windows runs on has it.
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0) {
    return DrawingPath::kVector;
  }
  return DrawingPath::kScalar;
#endif
}

NameDrawer NameDrawerFor(const PictureCanvas& canvas, DrawingPath path) {
#if KRT_SIMD
  if (path == DrawingPath::kVector) return VectorNameDrawer(canvas);
#else
  static_cast<void>(path);
#endif
  return DrawerFor<OneAtATime>(canvas);
}

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
