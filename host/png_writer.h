// A PNG file of a handed-over bitmap. 4- and 8-bit bitmaps become indexed
// PNGs of the same depth whose palette is the bitmap's colour table, so the
// dot values survive as they are; 24-bit bitmaps become RGB PNGs.
//
// png_writer.cpp writes them with libpng; on Windows png_writer_wic.cpp
// writes them with the system's imaging component.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap.h"

namespace krt::host {

bool EncodePng(const Bitmap& bitmap, std::vector<uint8_t>* bytes, std::string* error);

}  // namespace krt::host
