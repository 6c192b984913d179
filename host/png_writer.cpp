#include "png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>

namespace krt::host {
namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  bytes->insert(bytes->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors by jumping back to the setjmp below; nothing with a
// destructor may be created between the two, so the rows are prepared by the
// caller.
bool WriteRows(png_structp png, png_infop info, const Bitmap& bitmap, const PngSettings& settings,
               png_colorp palette, png_bytepp rows, std::vector<uint8_t>* bytes) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_write_fn(png, bytes, AppendToVector, NoFlush);
  // Fixed settings keep the output the same from run to run.
  png_set_compression_level(png, settings.level);
  png_set_compression_strategy(png, settings.strategy);
  if (settings.filters != 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filters);
  const bool indexed = bitmap.depth != 24;
  png_set_IHDR(png, info, bitmap.width, bitmap.rows, indexed ? bitmap.depth : 8,
               indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  if (indexed) png_set_PLTE(png, info, palette, static_cast<int>(bitmap.palette_entries));
  png_set_rows(png, info, rows);
  // The bitmap's 24-bit dots are blue, green, red.
  png_write_png(png, info, indexed ? PNG_TRANSFORM_IDENTITY : PNG_TRANSFORM_BGR, nullptr);
  return true;
}

}  // namespace

PngSettings ChosenPngSettings() { return PngSettings{6, Z_DEFAULT_STRATEGY, 0}; }

bool EncodePng(const Bitmap& bitmap, std::vector<uint8_t>* bytes, std::string* error) {
  return EncodePngWith(bitmap, ChosenPngSettings(), bytes, error);
}

bool EncodePngWith(const Bitmap& bitmap, const PngSettings& settings, std::vector<uint8_t>* bytes,
                   std::string* error) {
  std::vector<png_color> palette(bitmap.palette_entries);
  for (uint32_t k = 0; k < bitmap.palette_entries; ++k) {
    const uint8_t* slot = bitmap.ColourSlot(k);
    palette[k] = png_color{slot[2], slot[1], slot[0]};
  }
  std::vector<png_bytep> rows(bitmap.rows);
  for (uint32_t r = 0; r < bitmap.rows; ++r) rows[r] = const_cast<png_bytep>(bitmap.Row(r));

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool written = false;
  if (info != nullptr) {
    bytes->clear();
    written = WriteRows(png, info, bitmap, settings, palette.data(), rows.data(), bytes);
  }
  png_destroy_write_struct(&png, &info);
  if (!written) *error = "the PNG encoder failed";
  return written;
}

}  // namespace krt::host
