#include "tmx_map.h"

#include <cstdio>
#include <map>
#include <set>

#include "bitmap.h"
#include "png_writer.h"
#include "screen_format/limits.h"
#include "screen_format/screen.h"
#include "screen_pieces.h"

namespace krt::host {
namespace {

using format::CellView;
using format::ScreenDescription;
using format::ScreenStatus;

const char* NoPictureReason(ScreenStatus status) {
  switch (status) {
    case ScreenStatus::kReady:
      break;
    case ScreenStatus::kNotAScreen:
      return "not a screen file IFKRT reads";
    case ScreenStatus::kUndefinedGeometry:
      return "the screen has no picture: its pages are not defined";
    case ScreenStatus::kFailsRowTest:
      return "the screen has no picture: its pages are no multiple of two rows of names";
    case ScreenStatus::kNothingToShow:
      return "the screen has no picture: no pattern name shows anything";
  }
  return "";
}

// The characters one palette bank draws, in ascending order, and where each
// sits in the bank's tileset.
struct BankTiles {
  std::map<uint32_t, uint32_t> tile_of_character;
  uint32_t first_gid = 0;
  uint32_t columns = 0;
  uint32_t tile_count = 0;  // columns x rows, the padding included
};

// An indexed sheet with its dots turned into the colours of its table.
Bitmap ToRgb(const Bitmap& indexed) {
  Bitmap rgb;
  rgb.width = indexed.width;
  rgb.rows = indexed.rows;
  rgb.depth = 24;
  rgb.bottom_up = false;
  rgb.stride = (3 * rgb.width + 3) / 4 * 4;
  rgb.info.assign(kBitmapHeaderSize, 0);
  rgb.pixels.assign(static_cast<size_t>(rgb.stride) * rgb.rows, 0);
  for (uint32_t y = 0; y < rgb.rows; ++y) {
    const uint8_t* from = indexed.Row(y);
    uint8_t* to = rgb.pixels.data() + static_cast<size_t>(rgb.stride) * y;
    for (uint32_t x = 0; x < rgb.width; ++x) {
      const uint32_t dot =
          indexed.depth == 8 ? from[x] : (from[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
      const uint8_t* slot = indexed.ColourSlot(dot);
      to[3 * x] = slot[0];
      to[3 * x + 1] = slot[1];
      to[3 * x + 2] = slot[2];
    }
  }
  return rgb;
}

// One tile of the picture's background: colour slot 0 of the picture's
// colour table where the picture has one, else black.
Outcome BackgroundTile(const std::vector<uint8_t>& screen, const ScreenDescription& described,
                       Bitmap* tile) {
  const uint32_t size = described.character_size;
  tile->width = tile->rows = size;
  tile->stride = (3 * size + 3) / 4 * 4;
  tile->depth = 24;
  tile->info.assign(kBitmapHeaderSize, 0);
  tile->pixels.assign(static_cast<size_t>(tile->stride) * size, 0);
  if (described.depth == 24) return Outcome::Done();
  std::vector<uint8_t> info(format::kPictureInfoSize, 0);
  std::vector<uint8_t> pixels(static_cast<size_t>(described.pixel_bytes), 0);
  if (!format::DrawScreenPicture(screen.data(), screen.size(), info.data(), pixels.data(),
                                 nullptr)) {
    return Outcome::Failed(NoPictureReason(ScreenStatus::kNotAScreen));
  }
  for (uint32_t y = 0; y < size; ++y) {
    for (uint32_t x = 0; x < size; ++x) {
      for (uint32_t c = 0; c < 3; ++c) {
        tile->pixels[y * tile->stride + 3 * x + c] = info[kBitmapHeaderSize + c];
      }
    }
  }
  return Outcome::Done();
}

std::string XmlText(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string IntProperty(const char* name, uint64_t value) {
  return std::string("<property name=\"") + name + "\" type=\"int\" value=\"" +
         std::to_string(value) + "\"/>";
}

void AddTileset(std::string* tmx, const std::string& name, const std::string& image,
                uint32_t first_gid, uint32_t columns, uint32_t tile_count, uint32_t size,
                const std::string& properties) {
  const uint32_t rows = tile_count / columns;
  *tmx += " <tileset firstgid=\"" + std::to_string(first_gid) + "\" name=\"" + name +
          "\" tilewidth=\"" + std::to_string(size) + "\" tileheight=\"" + std::to_string(size) +
          "\" tilecount=\"" + std::to_string(tile_count) + "\" columns=\"" +
          std::to_string(columns) + "\">\n";
  *tmx += properties;
  *tmx += "  <image source=\"" + XmlText(image) + "\" width=\"" + std::to_string(columns * size) +
          "\" height=\"" + std::to_string(rows * size) + "\"/>\n";
}

// The raw names, row by row, in hex of the name's own width.
std::string NameRows(const std::vector<CellView>& cells, const ScreenDescription& described) {
  const int digits = static_cast<int>(2 * described.name_width);
  std::string text = "\n";
  char hex[16];
  for (size_t k = 0; k < cells.size(); ++k) {
    std::snprintf(hex, sizeof hex, "%0*X", digits, static_cast<unsigned>(cells[k].name));
    text += hex;
    text += (k + 1) % static_cast<size_t>(described.used_width) == 0 ? "\n" : ",";
  }
  return text;
}

}  // namespace

Outcome MakeTiledMap(const std::vector<uint8_t>& screen, const std::string& stem,
                     TiledMapFiles* files) {
  ScreenDescription described;
  const ScreenStatus status = format::DescribeScreen(screen.data(), screen.size(), &described);
  if (status != ScreenStatus::kReady) return Outcome::Failed(NoPictureReason(status));
  // The picture's own limit bounds the cells, too.
  if (described.pixel_bytes > format::kLargestPixelBlock) {
    return Outcome::Failed("the screen's picture is larger than krt draws");
  }
  const uint64_t width = static_cast<uint64_t>(described.used_width);
  const uint64_t height = static_cast<uint64_t>(described.used_height);
  std::vector<CellView> cells(static_cast<size_t>(width * height));
  if (!format::DescribeCells(screen.data(), screen.size(), cells.data())) {
    return Outcome::Failed(NoPictureReason(ScreenStatus::kNotAScreen));
  }

  // Which characters each bank draws; tile numbers follow the characters'.
  std::map<uint32_t, BankTiles> banks;
  bool background = false;
  for (const CellView& cell : cells) {
    if (cell.drawn) {
      banks[cell.palette].tile_of_character[cell.character] = 0;
    } else {
      background = true;
    }
  }
  const uint32_t size = described.character_size;
  std::string tilesets;
  uint32_t next_gid = 1;
  files->tileset_names.clear();
  files->tilesets.clear();
  for (auto& [bank, tiles] : banks) {
    std::vector<uint32_t> characters;
    for (auto& [character, tile] : tiles.tile_of_character) {
      tile = static_cast<uint32_t>(characters.size());
      characters.push_back(character);
    }
    const auto count = static_cast<uint32_t>(characters.size());
    tiles.columns = count < kTilesetColumns ? count : kTilesetColumns;
    tiles.tile_count = (count + tiles.columns - 1) / tiles.columns * tiles.columns;
    tiles.first_gid = next_gid;
    next_gid += tiles.tile_count;
    Bitmap sheet;
    const Outcome drawn = DrawChosenCharacters(screen, characters, tiles.columns, bank, &sheet);
    if (!drawn.ok) return drawn;
    if (described.depth == 24) sheet = ToRgb(sheet);
    const std::string image = stem + "-bank" + std::to_string(bank) + ".png";
    std::string properties = "  <properties>\n   " + IntProperty("palette bank", bank) + "\n";
    properties += "  </properties>\n";
    AddTileset(&tilesets, "bank " + std::to_string(bank), image, tiles.first_gid, tiles.columns,
               tiles.tile_count, size, properties);
    for (const uint32_t character : characters) {
      tilesets += "  <tile id=\"" + std::to_string(tiles.tile_of_character[character]) +
                  "\"><properties>" + IntProperty("character", character) +
                  "</properties></tile>\n";
    }
    tilesets += " </tileset>\n";
    files->tileset_names.push_back(image);
    files->tilesets.emplace_back();
    std::string error;
    if (!EncodePng(sheet, &files->tilesets.back(), &error)) return Outcome::Failed(error);
  }
  const uint32_t background_gid = next_gid;
  if (background) {
    Bitmap tile;
    const Outcome made = BackgroundTile(screen, described, &tile);
    if (!made.ok) return made;
    const std::string image = stem + "-background.png";
    AddTileset(&tilesets, "background", image, background_gid, 1, 1, size, "");
    tilesets += " </tileset>\n";
    files->tileset_names.push_back(image);
    files->tilesets.emplace_back();
    std::string error;
    if (!EncodePng(tile, &files->tilesets.back(), &error)) return Outcome::Failed(error);
  }

  std::string data;
  for (size_t k = 0; k < cells.size(); ++k) {
    const CellView& cell = cells[k];
    uint32_t gid = background_gid;
    if (cell.drawn) {
      const BankTiles& tiles = banks[cell.palette];
      gid = tiles.first_gid + tiles.tile_of_character.at(cell.character);
      if (cell.flip_horizontal) gid |= kTiledFlipHorizontal;
      if (cell.flip_vertical) gid |= kTiledFlipVertical;
    }
    data += std::to_string(gid);
    if (k + 1 < cells.size()) data += ',';
    if ((k + 1) % width == 0) data += '\n';
  }

  const std::string w = std::to_string(width), h = std::to_string(height);
  std::string tmx = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  tmx += "<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" + w +
         "\" height=\"" + h + "\" tilewidth=\"" + std::to_string(size) + "\" tileheight=\"" +
         std::to_string(size) + "\" infinite=\"0\" nextlayerid=\"2\" nextobjectid=\"1\">\n";
  tmx += " <properties>\n";
  tmx += "  " + IntProperty("character size", size) + "\n";
  tmx += "  " + IntProperty("colour mode", described.colour_mode) + "\n";
  tmx += "  " + IntProperty("name width", described.name_width) + "\n";
  tmx += "  " + IntProperty("rendering mode", described.rendering_mode) + "\n";
  tmx += " </properties>\n";
  tmx += tilesets;
  tmx += " <layer id=\"1\" name=\"screen\" width=\"" + w + "\" height=\"" + h + "\">\n";
  tmx += "  <properties>\n   <property name=\"pattern names\">" + NameRows(cells, described) +
         "</property>\n  </properties>\n";
  tmx += "  <data encoding=\"csv\">\n" + data + "</data>\n";
  tmx += " </layer>\n</map>\n";
  files->map.assign(tmx.begin(), tmx.end());
  return Outcome::Done();
}

}  // namespace krt::host
