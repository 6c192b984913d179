// A BMP file of a handed-over bitmap: the 14-byte file header, then the
// bitmap-info block and the pixel rows exactly as the plug-in gave them.
#pragma once

#include <cstdint>
#include <vector>

#include "bitmap.h"

namespace krt::host {

std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap);

}  // namespace krt::host
