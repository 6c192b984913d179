#include "bitmap_text.h"

#include <stdexcept>

namespace krt::test {

namespace {

uint8_t HexValue(char digit) {
  if (digit >= '0' && digit <= '9') return static_cast<uint8_t>(digit - '0');
  if (digit >= 'A' && digit <= 'F') return static_cast<uint8_t>(digit - 'A' + 10);
  throw std::invalid_argument("not a hex digit");
}

const char kHex[] = "0123456789ABCDEF";

}  // namespace

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
  std::vector<std::string> rows = FilledCell(fill);
  rows[0][0] = 'F';
  return rows;
}

std::vector<std::string> FilledCell(char fill) {
  return std::vector<std::string>(8, std::string(8, fill));
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

std::vector<std::string> BitmapRows(const BitmapView& bitmap, bool pairs, ColourName name) {
  std::vector<std::string> rows;
  const size_t stride = (size_t{bitmap.depth} * static_cast<size_t>(bitmap.width) + 31) / 32 * 4;
  for (int32_t top_row = 0; top_row < bitmap.height; ++top_row) {
    const uint8_t* row = bitmap.pixels + static_cast<size_t>(bitmap.height - 1 - top_row) * stride;
    std::string text;
    for (size_t x = 0; x < static_cast<size_t>(bitmap.width); ++x) {
      if (bitmap.depth == 4) {
        text += kHex[x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0xF];
      } else if (bitmap.depth == 8 && pairs) {
        text += kHex[row[x] >> 4];
        text += kHex[row[x] & 0xF];
      } else if (bitmap.depth == 8) {
        text += row[x] < 16 ? kHex[row[x]] : '?';
      } else {
        text += name == nullptr ? std::string("?") : name(row + 3 * x);
      }
    }
    rows.push_back(text);
  }
  return rows;
}

}  // namespace krt::test
