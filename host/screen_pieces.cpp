#include "screen_pieces.h"

#include <limits>
#include <string>

#include "bitmap_setup.h"
#include "cell_writing.h"
#include "draw_character.h"
#include "pattern_name.h"
#include "picture_layout.h"

namespace krt::host {
namespace {

using image::LayoutStatus;
using image::RenderingMode;
using image::ScreenSections;

// The screen's sections, located in the whole file held in `screen`.
Outcome FindSections(const std::vector<uint8_t>& screen, ScreenSections* sections) {
  if (screen.size() < kScreenHeaderSize || screen.size() > std::numeric_limits<uint32_t>::max() ||
      image::FourSectionsInOrderWithin(screen.data(), static_cast<uint32_t>(screen.size())) == 0) {
    return Outcome::Failed("not a screen file IFKRT reads");
  }
  *sections = image::LocateSections(screen.data(), screen.data(), 0, kColourTable);
  return Outcome::Done();
}

std::string LayoutFailure(LayoutStatus status) {
  switch (status) {
    case LayoutStatus::kNothingToShow:
      return "every pattern name is zero or the pages are not whole rows, so the screen does "
             "not say how its characters are drawn";
    default:
      return "the screen's page layout is undefined, so it does not say how its characters "
             "are drawn";
  }
}

// The first bank the names use, else 0.
uint32_t LowestNamedBank(const image::PictureLayout& layout) {
  for (uint32_t bank = 0; bank < image::kBankCount; ++bank) {
    if (layout.bank_flags[bank] != 0) return bank;
  }
  return 0;
}

// The bitmap-info block of an indexed picture: the header fields a reader
// checks, then the colour slots, `bank` of the screen's colours.
std::vector<uint8_t> IndexedInfo(const ScreenSections& sections, uint32_t colours_per_bank,
                                 uint64_t bank) {
  std::vector<uint8_t> info(kBitmapHeaderSize + kColourSlotSize * colours_per_bank, 0);
  info[0] = kBitmapHeaderSize;
  const uint32_t entries = image::ColourEntryCount(sections.size[kColourTable]);
  const uint64_t first = bank * colours_per_bank;
  for (uint32_t k = 0; k < colours_per_bank && first + k < entries; ++k) {
    image::ConvertColourEntry(sections.section[kColourTable] + kTablePrefixSize + 2 * (first + k),
                              info.data() + kBitmapHeaderSize + kColourSlotSize * k);
  }
  return info;
}

}  // namespace

Outcome DrawCharacterSheet(const std::vector<uint8_t>& screen, const SheetOptions& options,
                           Bitmap* sheet) {
  if (options.columns == 0) return Outcome::Failed("a sheet needs at least one column");
  ScreenSections sections;
  Outcome outcome = FindSections(screen, &sections);
  if (!outcome.ok) return outcome;
  image::PictureLayout layout;
  const LayoutStatus status = image::DecidePictureLayout(sections, &layout);
  if (status != LayoutStatus::kReady) return Outcome::Failed(LayoutFailure(status));

  // Dots as they are stored: the modes that write dot values unchanged.
  image::PictureCanvas canvas;
  const bool byte_dots = layout.colour_mode == 256;
  canvas.mode = byte_dots ? RenderingMode::kBytes : RenderingMode::kNibbles;
  canvas.name_width = 4;
  canvas.character_size = layout.character_size;
  const uint32_t dot_bytes = sections.size[kCharacterPatternData];
  if (dot_bytes > kTablePrefixSize) {
    canvas.dot_data = sections.section[kCharacterPatternData] + kTablePrefixSize;
    canvas.dot_data_size = dot_bytes - kTablePrefixSize;
  }
  const uint32_t cells = layout.character_size == 16 ? 4 : 1;
  const uint32_t count = canvas.dot_data_size / (cells * image::CellBytes(canvas.mode));
  if (count == 0) return Outcome::Failed("the screen holds no whole character");

  const uint64_t columns = options.columns;
  const uint64_t rows = (count + columns - 1) / columns;
  const uint64_t width = columns * layout.character_size;
  const uint64_t height = rows * layout.character_size;
  if (width * height > kLargestSheetDots) {
    return Outcome::Failed("a sheet of " + std::to_string(count) + " characters would be " +
                           std::to_string(width) + " x " + std::to_string(height) +
                           " dots, more than krt writes (" + std::to_string(kLargestSheetDots) +
                           ")");
  }
  Bitmap result;
  result.width = static_cast<uint32_t>(width);
  result.rows = static_cast<uint32_t>(height);
  result.depth = byte_dots ? 8 : 4;
  result.palette_entries = layout.colour_mode;
  result.stride = static_cast<uint32_t>((width * result.depth + 31) / 32 * 4);
  result.pixels.assign(static_cast<size_t>(result.stride) * result.rows, 0);
  result.info =
      IndexedInfo(sections, layout.colour_mode, options.bank.value_or(LowestNamedBank(layout)));

  canvas.width_px = static_cast<int32_t>(width);
  canvas.height_px = static_cast<int32_t>(height);
  canvas.pixels = result.pixels.data();
  canvas.row_stride = result.stride;
  // Character k as a 2-word name without flips; the sheet's limit keeps k
  // far below the names' 26-bit character field.
  const uint32_t shift = NameCharacterShift(canvas.name_width, byte_dots);
  for (uint32_t k = 0; k < count; ++k) {
    image::DrawCharacter(canvas, k << shift, static_cast<int32_t>(k % columns),
                         static_cast<int32_t>(k / columns));
  }
  *sheet = std::move(result);
  return Outcome::Done();
}

Outcome ReadScreenColours(const std::vector<uint8_t>& screen, std::vector<Rgb>* colours) {
  ScreenSections sections;
  const Outcome outcome = FindSections(screen, &sections);
  if (!outcome.ok) return outcome;
  const uint32_t entries = image::ColourEntryCount(sections.size[kColourTable]);
  if (entries == 0) return Outcome::Failed("the screen holds no colours");
  colours->assign(entries, Rgb{});
  for (uint32_t k = 0; k < entries; ++k) {
    uint8_t blue_green_red[3];
    image::ConvertColourEntry(sections.section[kColourTable] + kTablePrefixSize + 2 * k,
                              blue_green_red);
    (*colours)[k] = Rgb{blue_green_red[2], blue_green_red[1], blue_green_red[0]};
  }
  return Outcome::Done();
}

}  // namespace krt::host
