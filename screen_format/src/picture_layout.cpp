#include "picture_layout.h"

#include <cstring>

#include "big_endian.h"
#include "palette_regions.h"

namespace krt::image {

namespace {

// The screen descriptor opens with the two page counts.
constexpr uint32_t kPageCountsSize = 4;
constexpr uint32_t kFlagsByte = 1;
constexpr uint32_t kNameFormatByte = 4;

// Colour data a picture needs before it is given one palette bank per
// palette: 16 colours of 2 bytes, or 256.
constexpr uint32_t kFullBank16 = 32;
constexpr uint32_t kFullBank256 = 512;

uint32_t ColourDataBytes(uint32_t colour_table_size) {
  return colour_table_size < kTablePrefixSize ? 0 : colour_table_size - kTablePrefixSize;
}

void ChooseRenderingMode(uint32_t colour_table_size, PictureLayout* layout) {
  const uint32_t colour_data = ColourDataBytes(colour_table_size);
  const bool several_palettes = layout->palette_count >= 2;
  if (layout->colour_mode == 16) {
    const bool banked = several_palettes && colour_data >= kFullBank16;
    layout->mode = banked ? RenderingMode::kBankedNibbles : RenderingMode::kNibbles;
    layout->output_depth = banked ? 8 : 4;
  } else {
    const bool banked = several_palettes && colour_data >= kFullBank256;
    layout->mode = banked ? RenderingMode::kLookup : RenderingMode::kBytes;
    layout->output_depth = banked ? 24 : 8;
  }
}

}  // namespace

uint32_t ColourEntryCount(uint32_t colour_table_size) {
  return ColourDataBytes(colour_table_size) / 2;
}

bool ReadCharacterFormat(const ScreenSections& screen, CharacterFormat* format) {
  const uint8_t* name_table = screen.section[kPatternNameTable];
  if (screen.size[kScreenDescriptor] < kPageCountsSize ||
      screen.size[kPatternNameTable] < kTablePrefixSize) {
    return false;
  }
  CharacterFormat result;
  result.format_word =
      static_cast<uint16_t>((name_table[kFlagsByte] << 8) | name_table[kNameFormatByte]);
  result.colour_mode = (result.format_word & kFormat256Colours) != 0 ? 256 : 16;
  result.character_size = (result.format_word & kFormatCells2x2) != 0 ? 16 : 8;
  result.name_width = NameWidth(result.format_word);
  *format = result;
  return true;
}

LayoutStatus DecidePictureLayout(const ScreenSections& screen, PictureLayout* layout) {
  CharacterFormat format;
  if (!ReadCharacterFormat(screen, &format)) return LayoutStatus::kUndefinedGeometry;
  const uint8_t* descriptor = screen.section[kScreenDescriptor];
  const uint8_t* name_table = screen.section[kPatternNameTable];
  const uint32_t name_table_size = screen.size[kPatternNameTable];

  PictureLayout result;
  const int32_t pages_across = ReadBe16(descriptor);
  const int32_t pages_down = ReadBe16(descriptor + 2);
  const uint16_t format_word = format.format_word;
  if (ComputePageGeometry(pages_across, pages_down, format_word, name_table_size,
                          &result.geometry) == GeometryStatus::kUndefined) {
    return LayoutStatus::kUndefinedGeometry;
  }
  if (!PassesRowTest(result.geometry)) return LayoutStatus::kFailsRowTest;

  result.names = name_table + kTablePrefixSize;
  const UsedExtent extent = ScanPatternNameTable(result.names, pages_across, pages_down,
                                                 format_word, name_table_size, result.bank_flags);
  if (extent.width <= 0 || extent.height <= 0) return LayoutStatus::kNothingToShow;
  result.used_width = extent.width;
  result.used_height = extent.height;

  result.colour_mode = format.colour_mode;
  result.character_size = format.character_size;
  // At most 2^26 characters either way (the pages fit a 32-bit table), so
  // the pixel counts fit.
  result.width_px = extent.width * static_cast<int32_t>(result.character_size);
  result.height_px = extent.height * static_cast<int32_t>(result.character_size);

  const uint8_t* records = screen.palette_regions();
  if (HasPaletteRegions(records)) result.palette_regions = records;
  result.palette_count = CountPalettes(records, extent.width, extent.height, result.bank_flags);
  ChooseRenderingMode(screen.size[kColourTable], &result);

  *layout = result;
  return LayoutStatus::kReady;
}

}  // namespace krt::image
