#include "card_layout.h"

#include <stdexcept>

#include "glyphs.h"

namespace krt::samples {

Tile SolidTile(uint32_t size, uint8_t colour) {
  return Tile{size, std::vector<uint8_t>(size * size, colour)};
}

Tile GlyphTile(uint32_t size, char c, uint8_t ink, uint8_t paper) {
  Tile tile = SolidTile(size, paper);
  const GlyphRows rows = GlyphOf(c);
  const uint32_t scale = size / 8;
  for (uint32_t y = 0; y < size; ++y) {
    for (uint32_t x = 0; x < size; ++x) {
      // The five font columns stand at cell columns 1-5, the seven rows at 0-6.
      const uint32_t font_x = x / scale;
      const uint32_t font_y = y / scale;
      if (font_x < 1 || font_x > 5 || font_y > 6) continue;
      if ((rows[font_y] >> (5 - font_x)) & 1) tile.At(x, y) = ink;
    }
  }
  return tile;
}

Tile ArrowTile(uint32_t size, uint8_t ink, uint8_t paper) {
  Tile tile = SolidTile(size, paper);
  const uint32_t thick = size / 8 + 1;  // 2 dots at 8, 3 at 16
  for (uint32_t y = 0; y < size; ++y) {
    for (uint32_t x = 0; x < size; ++x) {
      const uint32_t diagonal = x + y;
      const bool shaft = diagonal >= size - 1 && diagonal < size - 1 + thick;
      const bool head_top = y < thick && x >= size / 2 - 1;
      const bool head_right = x >= size - thick && y <= size / 2;
      if (shaft || head_top || head_right) tile.At(x, y) = ink;
    }
  }
  return tile;
}

Card::Card(uint32_t columns, uint32_t rows, uint32_t tile_size)
    : columns_(columns), rows_(rows), tile_size_(tile_size), grid_(columns * rows) {}

uint32_t Card::CharacterOf(const Tile& tile) {
  if (tile.size != tile_size_) throw std::logic_error("tile of the wrong size");
  for (uint32_t k = 0; k < tiles_.size(); ++k) {
    if (tiles_[k].dots == tile.dots) return k;
  }
  tiles_.push_back(tile);
  return static_cast<uint32_t>(tiles_.size() - 1);
}

void Card::Put(uint32_t column, uint32_t row, const Tile& tile, uint8_t palette, bool flip_h,
               bool flip_v) {
  if (column >= columns_ || row >= rows_) throw std::logic_error("placed outside the card");
  grid_[row * columns_ + column] = Placement{CharacterOf(tile), palette, flip_h, flip_v};
}

void Card::Write(uint32_t column, uint32_t row, const std::string& text, uint8_t ink, uint8_t paper,
                 uint8_t palette) {
  for (size_t i = 0; i < text.size(); ++i) {
    Put(column + static_cast<uint32_t>(i), row, GlyphTile(tile_size_, text[i], ink, paper),
        palette);
  }
}

void Card::Border(uint8_t colour_a, uint8_t colour_b, uint8_t corner, uint8_t palette) {
  const Tile a = SolidTile(tile_size_, colour_a);
  const Tile b = SolidTile(tile_size_, colour_b);
  for (uint32_t column = 0; column < columns_; ++column) {
    Put(column, 0, column % 2 == 0 ? a : b, palette);
    Put(column, rows_ - 1, column % 2 == 0 ? a : b, palette);
  }
  for (uint32_t row = 1; row + 1 < rows_; ++row) {
    Put(0, row, row % 2 == 0 ? a : b, palette);
    Put(columns_ - 1, row, row % 2 == 0 ? a : b, palette);
  }
  const Tile marked = SolidTile(tile_size_, corner);
  Put(0, 0, marked, palette);
  Put(columns_ - 1, 0, marked, palette);
  Put(0, rows_ - 1, marked, palette);
  Put(columns_ - 1, rows_ - 1, marked, palette);
}

void Card::FillEmpty(const Tile& tile, uint8_t palette) {
  const uint32_t character = CharacterOf(tile);
  for (auto& position : grid_) {
    if (!position) position = Placement{character, palette, false, false};
  }
}

std::vector<uint8_t> Card::DotData(bool colours_256) const {
  std::vector<uint8_t> data;
  const uint32_t cells_across = tile_size_ / 8;
  for (const Tile& tile : tiles_) {
    for (uint32_t cell = 0; cell < cells_across * cells_across; ++cell) {
      const uint32_t left = 8 * (cell % cells_across);
      const uint32_t top = 8 * (cell / cells_across);
      for (uint32_t y = top; y < top + 8; ++y) {
        for (uint32_t x = left; x < left + 8; x += colours_256 ? 1 : 2) {
          if (colours_256) {
            data.push_back(tile.At(x, y));
          } else {
            data.push_back(
                static_cast<uint8_t>((tile.At(x, y) & 0xF) << 4 | (tile.At(x + 1, y) & 0xF)));
          }
        }
      }
    }
  }
  return data;
}

}  // namespace krt::samples
