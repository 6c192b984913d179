#include "page_picture.h"

#include <algorithm>

#include "screen_format/screen.h"

namespace krt::page {
namespace {

constexpr uint8_t kOpaque = 255;

// Dot x of a picture row, as a colour slot or (at 24 bits) blue, green, red.
void DotRgba(const host::Bitmap& bitmap, const uint8_t* row, uint32_t x, uint8_t* out) {
  const uint8_t* colour = nullptr;
  if (bitmap.depth == 24) {
    colour = row + 3 * size_t{x};
  } else {
    const uint8_t byte = bitmap.depth == 8 ? row[x] : row[x / 2];
    const uint32_t slot = bitmap.depth == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 0xF);
    // A value past the colour table shows black, as a viewer shows it.
    if (slot >= bitmap.palette_entries) {
      out[0] = out[1] = out[2] = 0;
      out[3] = kOpaque;
      return;
    }
    colour = bitmap.ColourSlot(slot);
  }
  out[0] = colour[2];
  out[1] = colour[1];
  out[2] = colour[0];
  out[3] = kOpaque;
}

// The size that fits width x height into a fit_px square, keeping its shape.
void FittedSize(uint32_t width, uint32_t height, int32_t fit_px, uint32_t* out_width,
                uint32_t* out_height) {
  const uint32_t longest = width > height ? width : height;
  if (fit_px <= 0 || longest <= uint32_t(fit_px)) {
    *out_width = width;
    *out_height = height;
    return;
  }
  const uint64_t fit = uint32_t(fit_px);
  *out_width = uint32_t(uint64_t{width} * fit / longest);
  *out_height = uint32_t(uint64_t{height} * fit / longest);
  if (*out_width == 0) *out_width = 1;
  if (*out_height == 0) *out_height = 1;
}

}  // namespace

void ToRgba(const host::Bitmap& bitmap, int32_t fit_px, PagePicture* picture) {
  picture->width = int32_t(bitmap.width);
  picture->height = int32_t(bitmap.rows);
  picture->depth = bitmap.depth;
  picture->colours.assign(size_t{4} * bitmap.palette_entries, 0);
  for (uint32_t k = 0; k < bitmap.palette_entries; ++k) {
    const uint8_t* slot = bitmap.ColourSlot(k);
    uint8_t* out = picture->colours.data() + 4 * size_t{k};
    out[0] = slot[2];
    out[1] = slot[1];
    out[2] = slot[0];
    out[3] = kOpaque;
  }

  uint32_t out_width = 0;
  uint32_t out_height = 0;
  FittedSize(bitmap.width, bitmap.rows, fit_px, &out_width, &out_height);
  picture->rgba_width = int32_t(out_width);
  picture->rgba_height = int32_t(out_height);
  picture->rgba.resize(size_t{4} * out_width * out_height);
  uint8_t* out = picture->rgba.data();
  for (uint32_t y = 0; y < out_height; ++y) {
    const uint8_t* row = bitmap.Row(uint32_t(uint64_t{y} * bitmap.rows / out_height));
    for (uint32_t x = 0; x < out_width; ++x, out += 4) {
      DotRgba(bitmap, row, uint32_t(uint64_t{x} * bitmap.width / out_width), out);
    }
  }
  if (fit_px > 0 || bitmap.depth == 24) return;
  const size_t row_bytes = (size_t{bitmap.width} * bitmap.depth + 7) / 8;
  picture->dots.resize(row_bytes * bitmap.rows);
  for (uint32_t y = 0; y < bitmap.rows; ++y) {
    std::copy_n(bitmap.Row(y), row_bytes, picture->dots.data() + row_bytes * y);
  }
}

bool DescribeScreen(const std::vector<uint8_t>& image, PagePicture* picture) {
  format::ScreenDescription screen;
  if (format::DescribeScreen(image.data(), image.size(), &screen) != format::ScreenStatus::kReady) {
    return false;
  }
  picture->mode = int32_t(screen.rendering_mode);
  picture->palette_count = int32_t(screen.palette_count);
  picture->table.resize(size_t{4} * screen.colour_count);
  for (uint32_t k = 0; k < screen.colour_count; ++k) {
    uint8_t* out = picture->table.data() + 4 * size_t{k};
    uint8_t blue_green_red[3];
    format::ScreenColour(image.data(), image.size(), k, blue_green_red);
    out[0] = blue_green_red[2];
    out[1] = blue_green_red[1];
    out[2] = blue_green_red[0];
    out[3] = kOpaque;
  }
  return true;
}

}  // namespace krt::page
