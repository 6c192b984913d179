#include "canvas_fixture.h"

#include <stdexcept>

namespace krt::test {

using image::RenderingMode;

namespace {

uint32_t BitsPerPixel(RenderingMode mode) {
  switch (mode) {
    case RenderingMode::kNibbles:
      return 4;
    case RenderingMode::kLookup:
      return 24;
    default:
      return 8;
  }
}

uint8_t HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return static_cast<uint8_t>(digit - '0');
  if (digit >= 'A' && digit <= 'F') return static_cast<uint8_t>(digit - 'A' + 10);
  throw std::invalid_argument("not a hex digit");
}

const char kHex[] = "0123456789ABCDEF";

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
  bool any_region = false;
  for (int i = 0; i < 4; ++i) any_region = any_region || regions[static_cast<size_t>(i)] != 0;
  canvas.palette_regions = any_region ? regions.data() : nullptr;
  canvas.lookup_table = lookup.empty() ? nullptr : lookup.data();
  canvas.lookup_entries = static_cast<uint32_t>(lookup.size() / 3);
}

void TestCanvas::Draw(uint32_t name, int32_t x, int32_t y) {
  image::DrawCharacter(canvas, name, x, y);
}

std::vector<std::string> TestCanvas::Rows(bool pairs) const {
  std::vector<std::string> rows;
  const uint32_t bits = BitsPerPixel(canvas.mode);
  for (int32_t top_row = 0; top_row < canvas.height_px; ++top_row) {
    const size_t buffer_row = static_cast<size_t>(canvas.height_px - 1 - top_row);
    const uint8_t* row = pixels.data() + buffer_row * canvas.row_stride;
    std::string text;
    for (int32_t x = 0; x < canvas.width_px; ++x) {
      const auto column = static_cast<size_t>(x);
      if (bits == 4) {
        const uint8_t byte = row[column / 2];
        text += kHex[column % 2 == 0 ? byte >> 4 : byte & 0xF];
      } else if (bits == 8) {
        const uint8_t value = row[column];
        if (pairs) {
          text += kHex[value >> 4];
          text += kHex[value & 0xF];
        } else {
          text += value < 16 ? kHex[value] : '?';
        }
      } else {
        const uint8_t* bgr = row + 3 * column;
        if (bgr[0] == 0 && bgr[1] == 0 && bgr[2] == 0) {
          text += "...";
        } else if (bgr[2] != 0xEE) {
          text += "???";
        } else {
          const uint32_t entry = uint32_t{bgr[1]} * 256 + bgr[0];
          text += kHex[(entry >> 8) & 0xF];
          text += kHex[(entry >> 4) & 0xF];
          text += kHex[entry & 0xF];
        }
      }
    }
    rows.push_back(text);
  }
  return rows;
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

std::vector<uint8_t> Cell16(const std::vector<std::string>& rows) {
  std::vector<uint8_t> cell;
  for (const std::string& row : rows) {
    for (size_t i = 0; i < 8; i += 2) {
      cell.push_back(static_cast<uint8_t>((HexValue(row.at(i)) << 4) | HexValue(row.at(i + 1))));
    }
  }
  if (cell.size() != 32) throw std::invalid_argument("a cell has 8 rows");
  return cell;
}

std::vector<uint8_t> Cell256(const std::vector<std::string>& rows) {
  std::vector<uint8_t> cell;
  for (const std::string& row : rows) {
    for (size_t i = 0; i < 8; ++i) cell.push_back(HexValue(row.at(i)));
  }
  if (cell.size() != 64) throw std::invalid_argument("a cell has 8 rows");
  return cell;
}

std::vector<std::string> MarkedCell(char fill) {
  std::vector<std::string> rows(8, std::string(8, fill));
  rows[0][0] = 'F';
  return rows;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

}  // namespace krt::test
