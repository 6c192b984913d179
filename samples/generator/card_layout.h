// Laying out a test card character by character: tiles of 8 x 8 or
// 16 x 16 dots, each becoming one character of the screen, placed on a grid
// with a palette and flips.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace krt::samples {

// One character's dots, row by row from the top; each dot is a colour index
// within its palette bank.
struct Tile {
  uint32_t size = 8;
  std::vector<uint8_t> dots;

  uint8_t& At(uint32_t x, uint32_t y) { return dots[y * size + x]; }
  uint8_t At(uint32_t x, uint32_t y) const { return dots[y * size + x]; }
};

Tile SolidTile(uint32_t size, uint8_t colour);
// A glyph of the built-in font; at 16 dots every font dot becomes 2 x 2.
Tile GlyphTile(uint32_t size, char c, uint8_t ink, uint8_t paper);
// An arrow pointing up and to the right: mirrored left to right it points up
// and to the left, upside down it points down and to the right.
Tile ArrowTile(uint32_t size, uint8_t ink, uint8_t paper);

struct Placement {
  uint32_t character = 0;
  uint8_t palette = 0;
  bool flip_h = false;
  bool flip_v = false;
};

class Card {
 public:
  Card(uint32_t columns, uint32_t rows, uint32_t tile_size);

  // Character number of the tile, added on first use. The first tile added
  // is character 0.
  uint32_t CharacterOf(const Tile& tile);

  void Put(uint32_t column, uint32_t row, const Tile& tile, uint8_t palette = 0,
           bool flip_h = false, bool flip_v = false);
  void Write(uint32_t column, uint32_t row, const std::string& text, uint8_t ink, uint8_t paper,
             uint8_t palette = 0);
  // A ruler of alternating colours round the edge, with marked corners.
  void Border(uint8_t colour_a, uint8_t colour_b, uint8_t corner, uint8_t palette = 0);
  // Every position still empty gets the tile.
  void FillEmpty(const Tile& tile, uint8_t palette = 0);

  const Tile& TileOf(uint32_t character) const { return tiles_.at(character); }
  uint32_t columns() const { return columns_; }
  uint32_t rows() const { return rows_; }
  uint32_t tile_size() const { return tile_size_; }
  const std::optional<Placement>& At(uint32_t column, uint32_t row) const {
    return grid_[row * columns_ + column];
  }

  // The character pattern data: every tile's cells in character order, four
  // cells (top left, top right, bottom left, bottom right) for 16-dot tiles;
  // 4 bits per dot for 16 colours, 8 bits for 256.
  std::vector<uint8_t> DotData(bool colours_256) const;

 private:
  uint32_t columns_;
  uint32_t rows_;
  uint32_t tile_size_;
  std::vector<Tile> tiles_;
  std::vector<std::optional<Placement>> grid_;
};

}  // namespace krt::samples
