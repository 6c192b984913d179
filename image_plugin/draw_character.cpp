#include "draw_character.h"

#include <cstring>

#include "palette_regions.h"

namespace krt::image {

namespace {

constexpr uint32_t kCellDots = 8;
constexpr uint32_t kMaxCellBytes = 64;
// 8-bit output holds 16 banks of 16 colours; a 17th would not fit a byte.
constexpr uint32_t kByteBanks = 16;

struct CellShape {
  uint32_t cells;       // per character: 1 or 4
  uint32_t cell_bytes;  // 32 for 16-colour dots, 64 for 256-colour dots
  uint32_t row_bytes;   // of one cell row in the source: 4 or 8
};

CellShape ShapeOf(const PictureCanvas& canvas) {
  const bool byte_dots = HasByteDots(canvas.mode);
  return CellShape{canvas.character_size == 16 ? 4u : 1u, byte_dots ? 64u : 32u,
                   byte_dots ? 8u : 4u};
}

uint32_t OneWordCharacter(const PictureCanvas& canvas, const CellShape& shape, uint32_t name,
                          DecodedName* decoded) {
  // The thresholds are the dot data that 10 and 12 bits of character number
  // can address.
  const uint32_t first_threshold = (shape.cell_bytes == 64 ? 0x8000u : 0x4000u) * shape.cells;
  const uint32_t second_threshold = 4 * first_threshold;
  uint32_t value = name & 0xFFFF;
  if (canvas.dot_data_size < first_threshold) {
    decoded->flip_vertical = (value & 0x0800) != 0;
    decoded->flip_horizontal = (value & 0x0400) != 0;
    value &= 0x3FF;
  }
  if (canvas.dot_data_size < second_threshold) value &= 0xFFF;
  return HasByteDots(canvas.mode) ? value >> 1 : value;
}

uint32_t TwoWordCharacter(const PictureCanvas& canvas, uint32_t name, DecodedName* decoded) {
  // With palettes taken from the names, the flip bits are the top of the
  // palette number instead.
  if (!UsesPalette(canvas.mode) || canvas.palette_regions != nullptr) {
    decoded->flip_vertical = (name & 0x80000000u) != 0;
    decoded->flip_horizontal = (name & 0x40000000u) != 0;
  }
  return HasByteDots(canvas.mode) ? (name >> 3) & 0x1FFFFFF : (name >> 2) & 0x3FFFFFF;
}

uint32_t ChoosePalette(const PictureCanvas& canvas, uint32_t name, int32_t x, int32_t y) {
  uint32_t palette = 0;
  if (canvas.palette_regions != nullptr) {
    palette = RegionPalette(canvas.palette_regions, x, y);
  } else {
    palette = canvas.name_width == 4 ? (name >> 28) & 0xF : (name >> 12) & 0xF;
  }
  const uint32_t bank_size = canvas.mode == RenderingMode::kLookup ? 256 : 16;
  return palette > canvas.colour_count / bank_size ? 0 : palette;
}

uint8_t SwapNibbles(uint8_t byte) { return static_cast<uint8_t>((byte << 4) | (byte >> 4)); }

void MirrorRows(uint8_t* cell, const CellShape& shape) {
  for (uint32_t row = 0; row < kCellDots; ++row) {
    uint8_t* bytes = cell + row * shape.row_bytes;
    for (uint32_t i = 0; i < shape.row_bytes / 2; ++i) {
      const uint8_t left = bytes[i];
      bytes[i] = bytes[shape.row_bytes - 1 - i];
      bytes[shape.row_bytes - 1 - i] = left;
    }
    if (shape.row_bytes == 4) {
      for (uint32_t i = 0; i < 4; ++i) bytes[i] = SwapNibbles(bytes[i]);
    }
  }
}

void WriteCellRow(const PictureCanvas& canvas, const uint8_t* source, uint32_t palette,
                  uint8_t* out) {
  switch (canvas.mode) {
    case RenderingMode::kNibbles:
      std::memcpy(out, source, 4);
      break;
    case RenderingMode::kBankedNibbles:
      for (uint32_t i = 0; i < 4; ++i) {
        out[2 * i] = static_cast<uint8_t>(16 * palette + (source[i] >> 4));
        out[2 * i + 1] = static_cast<uint8_t>(16 * palette + (source[i] & 0xF));
      }
      break;
    case RenderingMode::kBytes:
      std::memcpy(out, source, 8);
      break;
    case RenderingMode::kLookup:
      for (uint32_t i = 0; i < 8; ++i) {
        const uint8_t* colour = canvas.lookup_table + 3 * (256 * palette + source[i]);
        std::memcpy(out + 3 * i, colour, 3);
      }
      break;
  }
}

// Byte offset of dot column `column` within a pixel row.
uint64_t ColumnOffset(RenderingMode mode, uint64_t column) {
  switch (mode) {
    case RenderingMode::kNibbles:
      return column / 2;
    case RenderingMode::kLookup:
      return 3 * column;
    default:
      return column;
  }
}

// Whether the palette's colours are all there to be written: a 17th bank of
// 8-bit pixels would need values past 255, and a lookup bank must lie inside
// the lookup table.
bool PaletteFits(const PictureCanvas& canvas, uint32_t palette) {
  if (canvas.mode == RenderingMode::kBankedNibbles) return palette < kByteBanks;
  if (canvas.mode == RenderingMode::kLookup) {
    return uint64_t{palette} * 256 + 256 <= canvas.lookup_entries;
  }
  return true;
}

}  // namespace

DecodedName DecodePatternName(const PictureCanvas& canvas, uint32_t name) {
  DecodedName decoded;
  const CellShape shape = ShapeOf(canvas);
  decoded.character = canvas.name_width == 4 ? TwoWordCharacter(canvas, name, &decoded)
                                             : OneWordCharacter(canvas, shape, name, &decoded);
  return decoded;
}

void DrawCharacter(const PictureCanvas& canvas, uint32_t name, int32_t x, int32_t y) {
  const CellShape shape = ShapeOf(canvas);
  if (HasByteDots(canvas.mode) && (name & 1) != 0) return;
  const uint32_t palette = UsesPalette(canvas.mode) ? ChoosePalette(canvas, name, x, y) : 0;
  if (!PaletteFits(canvas, palette)) return;
  const DecodedName decoded = DecodePatternName(canvas, name);

  const uint32_t size = canvas.character_size;
  if (x < 0 || y < 0) return;
  if (decoded.character >= canvas.dot_data_size / (shape.cells * shape.cell_bytes)) return;
  const int64_t left = int64_t{x} * size;
  const int64_t top = int64_t{y} * size;
  if (left + size > canvas.width_px || top + size > canvas.height_px) return;

  uint8_t cell[kMaxCellBytes];
  for (uint32_t m = 0; m < shape.cells; ++m) {
    const uint64_t first = (uint64_t{decoded.character} * shape.cells + m) * shape.cell_bytes;
    std::memcpy(cell, canvas.dot_data + first, shape.cell_bytes);
    if (decoded.flip_horizontal) MirrorRows(cell, shape);

    const uint32_t across = kCellDots * (m & 1);
    const uint32_t down = kCellDots * (m >> 1);
    const int64_t column =
        decoded.flip_horizontal ? left + (size - kCellDots) - across : left + across;
    const uint64_t column_offset = ColumnOffset(canvas.mode, uint64_t(column));
    for (uint32_t i = 0; i < kCellDots; ++i) {
      // Picture rows count from the top, the pixel block's from the bottom.
      const int64_t picture_row = decoded.flip_vertical
                                      ? top + (size - kCellDots) - down + (kCellDots - 1 - i)
                                      : top + down + i;
      const auto buffer_row = uint64_t(canvas.height_px - 1 - picture_row);
      uint8_t* out = canvas.pixels + buffer_row * canvas.row_stride + column_offset;
      WriteCellRow(canvas, cell + i * shape.row_bytes, palette, out);
    }
  }
}

}  // namespace krt::image
