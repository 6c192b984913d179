// Drawing characters of the screen into the pixel block: decoding their
// pattern names, choosing their palettes, and copying their one or four
// cells with the flips applied. The templates doing it are in draw_rows.h,
// compiled by draw_scalar.cpp and draw_sse2.cpp; this is what the rest of
// the library calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "canvas.h"

namespace krt::image {

// The character number and flips of a pattern name. 1-word names take one of
// three forms, chosen by how much dot data there is (pattern_name.h).
DecodedName DecodePatternName(const PictureCanvas& canvas, uint32_t name);

// Which drawing code runs: plain words on any processor, or 16-byte vectors.
// Both give the same bytes.
enum class DrawingPath : uint8_t { kScalar, kVector };

// The vector path where this build has it (the KRT_SIMD option) and the
// processor runs it, else the scalar one. Asks the processor each time: the
// plug-ins keep no state between calls, and drawing a picture costs far
// more.
DrawingPath FastestDrawingPath();

// The drawing function for the canvas's mode, name width and character size
// on `path`; the scalar one when this build has no vector path.
NameDrawer NameDrawerFor(const PictureCanvas& canvas, DrawingPath path);

// `count` names stored one after another (name width apart) from `names`,
// at character columns x, x + 1, ... of row y, on `path`; one name handed
// over already read, at character column x and row y, on the fastest path.
void DrawNameRow(const PictureCanvas& canvas, DrawingPath path, const uint8_t* names,
                 uint32_t count, int32_t x, int32_t y);
void DrawCharacter(const PictureCanvas& canvas, uint32_t name, int32_t x, int32_t y);

}  // namespace krt::image
