#include "canvas_fixture.h"

namespace krt::test {

using image::RenderingMode;

namespace {

uint32_t BitsPerPixel(RenderingMode mode) { return image::OutputBitsPerDot(mode); }

std::string LookupEntryName(const uint8_t* bgr) {
  if (bgr[0] == 0 && bgr[1] == 0 && bgr[2] == 0) return "...";
  if (bgr[2] != 0xEE) return "???";
  const char hex[] = "0123456789ABCDEF";
  const uint32_t entry = uint32_t{bgr[1]} * 256 + bgr[0];
  return {hex[(entry >> 8) & 0xF], hex[(entry >> 4) & 0xF], hex[entry & 0xF]};
}

}  // namespace

TestCanvas::TestCanvas(RenderingMode mode, uint32_t character_size, uint32_t name_width,
                       int32_t chars_across, int32_t chars_down) {
  canvas.mode = mode;
  canvas.character_size = character_size;
  canvas.name_width = name_width;
  canvas.width_px = chars_across * static_cast<int32_t>(character_size);
  canvas.height_px = chars_down * static_cast<int32_t>(character_size);
  canvas.row_stride = static_cast<uint32_t>(canvas.width_px) * BitsPerPixel(mode) / 8;
  pixels.assign(size_t{canvas.row_stride} * static_cast<size_t>(canvas.height_px), 0);
  Attach();
}

void TestCanvas::Attach() {
  canvas.pixels = pixels.data();
  canvas.dot_data = dots.empty() ? nullptr : dots.data();
  canvas.dot_data_size = static_cast<uint32_t>(dots.size());
  const bool any_region = regions[0] != 0 || regions[1] != 0 || regions[2] != 0 || regions[3] != 0;
  canvas.palette_regions = any_region ? regions.data() : nullptr;
  canvas.lookup_table = lookup.empty() ? nullptr : lookup.data();
  canvas.lookup_entries = static_cast<uint32_t>(lookup.size() / 3);
}

void TestCanvas::Draw(uint32_t name, int32_t x, int32_t y) {
  image::DrawCharacter(canvas, name, x, y);
}

std::vector<std::string> TestCanvas::Rows(bool pairs) const {
  return BitmapRows(
      BitmapView{pixels.data(), canvas.width_px, canvas.height_px, BitsPerPixel(canvas.mode)},
      pairs, LookupEntryName);
}

void TestCanvas::FillLookupWithEntryNumbers(uint32_t entries) {
  lookup.assign(size_t{entries} * 3, 0);
  for (uint32_t e = 0; e < entries; ++e) {
    lookup[3 * e] = static_cast<uint8_t>(e & 0xFF);
    lookup[3 * e + 1] = static_cast<uint8_t>(e >> 8);
    lookup[3 * e + 2] = 0xEE;
  }
  Attach();
}

}  // namespace krt::test
