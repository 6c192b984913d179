// A PNG file of a handed-over bitmap. 4- and 8-bit bitmaps become indexed
// PNGs of the same depth whose palette is the bitmap's colour table, so the
// dot values survive as they are; 24-bit bitmaps become RGB PNGs.
//
// png_writer.cpp writes them with libpng; on Windows png_writer_wic.cpp
// writes them with the system's imaging component, which has its own
// compression and takes no settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap.h"

namespace krt::host {

// How hard the deflate stream is worked: the zlib level and strategy, and
// which row filters libpng may try (a PNG_FILTER_* mask; 0 leaves libpng its
// own choice: none for indexed pictures, all for RGB ones).
struct PngSettings {
  int level = 0;
  int strategy = 0;
  int filters = 0;
};

// The settings krt writes with, chosen by measurement (bench/png_settings,
// figures in bench/README.md): level 6 with libpng's own filter choice is
// about 5 times faster than level 9 with every filter tried on the bundled
// cards, for files under 10% larger. Faster settings (lower levels, no
// filter for RGB, run lengths only) make the files half as large again or
// more.
PngSettings ChosenPngSettings();

bool EncodePng(const Bitmap& bitmap, std::vector<uint8_t>* bytes, std::string* error);
// The same with other settings, for measuring them.
bool EncodePngWith(const Bitmap& bitmap, const PngSettings& settings, std::vector<uint8_t>* bytes,
                   std::string* error);

}  // namespace krt::host
