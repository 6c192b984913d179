// The screen door: a whole screen file in memory read by the same routines
// the image plug-in runs, so that every front end gets its pictures,
// characters and colours.
#include "bitmap_setup.h"
#include "draw_cells.h"
#include "draw_picture.h"
#include "drawing.h"
#include "palette_regions.h"
#include "pattern_name.h"
#include "picture_layout.h"
#include "screen_format/limits.h"
#include "screen_format/screen.h"
#include "screen_sections.h"

namespace krt::format {
namespace {

using image::LayoutStatus;
using image::PictureLayout;
using image::RenderingMode;
using image::ScreenSections;

// A screen read whole: its sections and, when it has a picture, its layout
// and bitmap sizes.
struct ReadScreen {
  ScreenSections sections;
  PictureLayout layout;
  image::BitmapSizes sizes;
};

bool ReadReadyScreen(const uint8_t* image, size_t length, ReadScreen* screen) {
  if (!image::LocateWholeScreen(image, length, &screen->sections)) return false;
  if (image::DecidePictureLayout(screen->sections, &screen->layout) != LayoutStatus::kReady) {
    return false;
  }
  screen->sizes = image::MeasureBitmap(screen->layout, screen->sections.size[kColourTable]);
  return true;
}

// The character pattern data after its prefix, drawn as stored dots.
image::PictureCanvas StoredDotsCanvas(const ScreenSections& sections,
                                      const image::CharacterFormat& format) {
  image::PictureCanvas canvas;
  canvas.mode = format.colour_mode == 256 ? RenderingMode::kBytes : RenderingMode::kNibbles;
  canvas.name_width = 4;
  canvas.character_size = format.character_size;
  const uint32_t dot_bytes = sections.size[kCharacterPatternData];
  if (dot_bytes > kTablePrefixSize) {
    canvas.dot_data = sections.section[kCharacterPatternData] + kTablePrefixSize;
    canvas.dot_data_size = dot_bytes - kTablePrefixSize;
  }
  return canvas;
}

uint32_t WholeCharacters(const image::PictureCanvas& canvas) {
  const uint32_t cells = canvas.character_size == 16 ? 4 : 1;
  return canvas.dot_data_size / (cells * image::CellBytes(canvas.mode));
}

}  // namespace

bool IsScreenFileStart(const uint8_t* first_bytes, size_t available, uint64_t file_length) {
  if (first_bytes == nullptr || available < image::kDetectionBytes) return false;
  const auto length = static_cast<uint32_t>(file_length < UINT32_MAX ? file_length : UINT32_MAX);
  return image::FourSectionsInOrderWithin(first_bytes, length) != 0;
}

ScreenStatus DescribeScreen(const uint8_t* image, size_t length, ScreenDescription* description) {
  ScreenDescription result;
  ScreenSections sections;
  if (!image::LocateWholeScreen(image, length, &sections)) return ScreenStatus::kNotAScreen;
  result.colour_count = image::ColourEntryCount(sections.size[kColourTable]);
  image::CharacterFormat format;
  if (image::ReadCharacterFormat(sections, &format)) {
    result.has_characters = true;
    result.colour_mode = format.colour_mode;
    result.character_size = format.character_size;
    result.name_width = format.name_width;
    result.character_count = WholeCharacters(StoredDotsCanvas(sections, format));
  }

  PictureLayout layout;
  const LayoutStatus status = image::DecidePictureLayout(sections, &layout);
  if (status == LayoutStatus::kReady) {
    result.used_width = layout.used_width;
    result.used_height = layout.used_height;
    result.width_px = layout.width_px;
    result.height_px = layout.height_px;
    result.depth = layout.output_depth;
    result.rendering_mode = static_cast<uint32_t>(layout.mode);
    result.palette_count = layout.palette_count;
    for (uint32_t bank = kBankCount; bank-- > 0;) {
      result.bank_flags[bank] = layout.bank_flags[bank];
      if (layout.bank_flags[bank] != 0) result.lowest_bank = bank;
    }
    const image::BitmapSizes sizes = image::MeasureBitmap(layout, sections.size[kColourTable]);
    result.row_stride = sizes.row_stride;
    result.pixel_bytes = sizes.pixel_bytes;
    result.lookup_bytes = sizes.lookup_bytes;
  }
  *description = result;
  return status;
}

bool DrawScreenPicture(const uint8_t* image, size_t length, uint8_t* info, uint8_t* pixels,
                       uint8_t* lookup) {
  ReadScreen screen;
  if (!ReadReadyScreen(image, length, &screen)) return false;
  if (screen.sizes.pixel_bytes > kLargestPixelBlock) return false;
  if (screen.sizes.lookup_bytes != 0 && lookup == nullptr) return false;
  const uint32_t colour_count =
      image::SetUpBitmap(screen.sections, screen.layout, screen.sizes, info, lookup);
  image::DrawPicture(screen.layout, image::MakeCanvas(screen.sections, screen.layout, screen.sizes,
                                                      colour_count, pixels, lookup));
  return true;
}

bool DrawStoredCharacter(const uint8_t* image, size_t length, uint32_t character,
                         const DotCanvas& canvas, int32_t column, int32_t row) {
  ScreenSections sections;
  image::CharacterFormat format;
  if (!image::LocateWholeScreen(image, length, &sections) ||
      !image::ReadCharacterFormat(sections, &format)) {
    return false;
  }
  image::PictureCanvas target = StoredDotsCanvas(sections, format);
  // Character numbers of 2-word names reach 2^26 characters; past that no
  // name could show the character.
  const uint32_t shift = NameCharacterShift(target.name_width, format.colour_mode == 256);
  if (character >= WholeCharacters(target) || character > (kTwoWordCharacter >> shift)) {
    return false;
  }
  const int64_t size = format.character_size;
  if (column < 0 || row < 0 || (int64_t{column} + 1) * size > canvas.width_px ||
      (int64_t{row} + 1) * size > canvas.height_px) {
    return false;
  }
  target.width_px = canvas.width_px;
  target.height_px = canvas.height_px;
  target.pixels = canvas.pixels;
  target.row_stride = canvas.row_stride;
  image::DrawCharacter(target, character << shift, column, row);
  return true;
}

void ScreenColour(const uint8_t* image, size_t length, uint32_t index, uint8_t* blue_green_red) {
  blue_green_red[0] = blue_green_red[1] = blue_green_red[2] = 0;
  ScreenSections sections;
  if (!image::LocateWholeScreen(image, length, &sections)) return;
  if (index >= image::ColourEntryCount(sections.size[kColourTable])) return;
  image::ConvertColourEntry(sections.section[kColourTable] + kTablePrefixSize + 2 * uint64_t{index},
                            blue_green_red);
}

bool DescribeCells(const uint8_t* image, size_t length, CellView* cells) {
  ReadScreen screen;
  if (!ReadReadyScreen(image, length, &screen)) return false;
  const PictureLayout& layout = screen.layout;
  const uint32_t entries = image::ColourEntryCount(screen.sections.size[kColourTable]);
  const uint32_t colour_count = image::BitmapColourCount(layout, entries);
  const image::PictureCanvas canvas =
      image::MakeCanvas(screen.sections, layout, screen.sizes, colour_count, nullptr, nullptr);
  const bool byte_dots = layout.colour_mode == 256;
  const bool lookup = layout.mode == RenderingMode::kLookup;
  const uint32_t palette_limit = colour_count / (lookup ? 256 : 16);
  const uint32_t characters = WholeCharacters(canvas);
  // The bank of the one colour table of pictures drawn with dot values.
  const uint32_t table_bank = image::StartEntry(layout, entries) / layout.colour_mode;

  // Names in the walk's order: page rows, pages, rows, names.
  const image::PageGeometry& geometry = layout.geometry;
  const uint64_t names_per_page = uint64_t{geometry.names_per_row} * geometry.rows_per_page;
  const auto used_width = static_cast<uint64_t>(layout.used_width);
  const auto used_height = static_cast<uint64_t>(layout.used_height);
  for (uint64_t y = 0; y < used_height; ++y) {
    const uint64_t page_row = y / geometry.rows_per_page;
    const uint64_t row = y % geometry.rows_per_page;
    for (uint64_t x = 0; x < used_width; ++x) {
      const uint64_t page = page_row * geometry.pages_across + x / geometry.names_per_row;
      const uint64_t index =
          page * names_per_page + row * geometry.names_per_row + x % geometry.names_per_row;
      const uint8_t* stored = layout.names + index * geometry.name_width;
      CellView cell;
      cell.name = geometry.name_width == 4 ? ReadBe32(stored) : ReadBe16(stored);
      const image::DecodedName decoded = image::DecodePatternName(canvas, cell.name);
      cell.character = decoded.character;
      cell.flip_horizontal = decoded.flip_horizontal;
      cell.flip_vertical = decoded.flip_vertical;
      cell.drawn = !(byte_dots && (cell.name & kNameSkipBit) != 0) && cell.character < characters;
      cell.palette = table_bank;
      if (image::UsesPalette(layout.mode)) {
        uint32_t palette =
            layout.palette_regions != nullptr
                ? image::RegionPalette(layout.palette_regions, int32_t(x), int32_t(y))
                : NamePalette(cell.name, geometry.name_width);
        if (palette > palette_limit) palette = 0;
        cell.palette = palette;
        cell.drawn = cell.drawn && (lookup ? (uint64_t{palette} + 1) * 256 <= canvas.lookup_entries
                                           : palette < kBankCount);
      }
      cells[y * used_width + x] = cell;
    }
  }
  return true;
}

}  // namespace krt::format
