// A screen as a Tiled map: one map cell per character of the used extent,
// each cell the tile of the character its pattern name draws, from the
// tileset of the palette bank the picture draws it with, mirrored by Tiled's
// flip bits as the name mirrors it. Tilesets are PNG images holding only
// the characters in use: indexed with the bank's colours for 4- and 8-bit
// pictures, RGB for 24-bit ones. A cell whose name draws nothing gets a
// one-tile tileset of the picture's background. So Tiled draws the map as
// krt renders the screen, dot for dot.
//
// The raw pattern name of every cell is kept as the tile layer's property
// "pattern names": one line per row, each name in hex, comma-separated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "outcome.h"

namespace krt::host {

// Tiled's flip bits on a cell's global tile ID.
inline constexpr uint32_t kTiledFlipHorizontal = 0x80000000u;
inline constexpr uint32_t kTiledFlipVertical = 0x40000000u;

// Characters across a tileset image.
inline constexpr uint32_t kTilesetColumns = 16;

struct TiledMapFiles {
  std::vector<uint8_t> map;  // the .tmx text
  // The tileset images, named as the map refers to them (beside the map).
  std::vector<std::string> tileset_names;
  std::vector<std::vector<uint8_t>> tilesets;
};

// Makes the map of the screen file `screen`; tileset images are named
// `stem`-bankN.png and `stem`-background.png. Fails with a reason for a
// screen without a picture.
Outcome MakeTiledMap(const std::vector<uint8_t>& screen, const std::string& stem,
                     TiledMapFiles* files);

}  // namespace krt::host
