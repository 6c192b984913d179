#include "screen_pieces.h"

#include <string>

#include "screen_format/screen.h"

namespace krt::host {
namespace {

using format::ScreenDescription;
using format::ScreenStatus;

Outcome NotAScreen() { return Outcome::Failed("not a screen file IFKRT reads"); }

// The bitmap-info block of an indexed picture: the header fields a reader
// checks, then the colour slots, `bank` of the screen's colours.
std::vector<uint8_t> IndexedInfo(const std::vector<uint8_t>& screen, uint32_t colours_per_bank,
                                 uint64_t bank) {
  std::vector<uint8_t> info(kBitmapHeaderSize + kColourSlotSize * colours_per_bank, 0);
  info[0] = kBitmapHeaderSize;
  const uint64_t first = bank * colours_per_bank;
  for (uint32_t k = 0; k < colours_per_bank && first + k <= UINT32_MAX; ++k) {
    format::ScreenColour(screen.data(), screen.size(), static_cast<uint32_t>(first + k),
                         info.data() + kBitmapHeaderSize + kColourSlotSize * k);
  }
  return info;
}

// Whether a sheet of `count` characters, `columns` across, stays within
// kLargestSheetDots.
Outcome SheetFits(const ScreenDescription& screen_info, uint64_t count, uint64_t columns) {
  const uint64_t rows = (count + columns - 1) / columns;
  const uint64_t width = columns * screen_info.character_size;
  const uint64_t height = rows * screen_info.character_size;
  if (width * height <= kLargestSheetDots) return Outcome::Done();
  return Outcome::Failed("a sheet of " + std::to_string(count) + " characters would be " +
                         std::to_string(width) + " x " + std::to_string(height) +
                         " dots, more than krt writes (" + std::to_string(kLargestSheetDots) + ")");
}

}  // namespace

Outcome DrawCharacterSheet(const std::vector<uint8_t>& screen, const SheetOptions& options,
                           Bitmap* sheet) {
  if (options.columns == 0) return Outcome::Failed("a sheet needs at least one column");
  ScreenDescription screen_info;
  const ScreenStatus status = format::DescribeScreen(screen.data(), screen.size(), &screen_info);
  if (status == ScreenStatus::kNotAScreen) return NotAScreen();
  if (!screen_info.has_characters) {
    return Outcome::Failed(
        "the screen's pattern name table is too short to say how its characters are drawn");
  }
  const uint32_t count = screen_info.character_count;
  if (count == 0) return Outcome::Failed("the screen holds no whole character");
  const Outcome fits = SheetFits(screen_info, count, options.columns);
  if (!fits.ok) return fits;
  std::vector<uint32_t> characters(count);
  for (uint32_t k = 0; k < count; ++k) characters[k] = k;
  // A screen without a picture names no palette: its first bank then.
  return DrawChosenCharacters(screen, characters, options.columns,
                              options.bank.value_or(screen_info.lowest_bank), sheet);
}

Outcome DrawChosenCharacters(const std::vector<uint8_t>& screen,
                             const std::vector<uint32_t>& characters, uint32_t columns,
                             uint64_t bank, Bitmap* sheet) {
  if (columns == 0) return Outcome::Failed("a sheet needs at least one column");
  ScreenDescription screen_info;
  if (format::DescribeScreen(screen.data(), screen.size(), &screen_info) ==
          ScreenStatus::kNotAScreen ||
      !screen_info.has_characters) {
    return NotAScreen();
  }
  const Outcome fits = SheetFits(screen_info, characters.size(), columns);
  if (!fits.ok) return fits;
  const uint64_t rows = (characters.size() + columns - 1) / columns;
  const uint64_t width = uint64_t{columns} * screen_info.character_size;
  const uint64_t height = rows * screen_info.character_size;
  // Dots as they are stored: 4 bits for 16-colour characters, 8 for 256.
  const bool byte_dots = screen_info.colour_mode == 256;
  Bitmap result;
  result.width = static_cast<uint32_t>(width);
  result.rows = static_cast<uint32_t>(height);
  result.depth = byte_dots ? 8 : 4;
  result.palette_entries = screen_info.colour_mode;
  result.stride = static_cast<uint32_t>((width * result.depth + 31) / 32 * 4);
  result.pixels.assign(static_cast<size_t>(result.stride) * result.rows, 0);
  result.info = IndexedInfo(screen, screen_info.colour_mode, bank);

  format::DotCanvas canvas;
  canvas.width_px = static_cast<int32_t>(width);
  canvas.height_px = static_cast<int32_t>(height);
  canvas.pixels = result.pixels.data();
  canvas.row_stride = result.stride;
  for (size_t k = 0; k < characters.size(); ++k) {
    format::DrawStoredCharacter(screen.data(), screen.size(), characters[k], canvas,
                                static_cast<int32_t>(k % columns),
                                static_cast<int32_t>(k / columns));
  }
  *sheet = std::move(result);
  return Outcome::Done();
}

Outcome ReadScreenColours(const std::vector<uint8_t>& screen, std::vector<Rgb>* colours) {
  ScreenDescription screen_info;
  if (format::DescribeScreen(screen.data(), screen.size(), &screen_info) ==
      ScreenStatus::kNotAScreen) {
    return NotAScreen();
  }
  const uint32_t entries = screen_info.colour_count;
  if (entries == 0) return Outcome::Failed("the screen holds no colours");
  colours->assign(entries, Rgb{});
  for (uint32_t k = 0; k < entries; ++k) {
    uint8_t blue_green_red[3];
    format::ScreenColour(screen.data(), screen.size(), k, blue_green_red);
    (*colours)[k] = Rgb{blue_green_red[2], blue_green_red[1], blue_green_red[0]};
  }
  return Outcome::Done();
}

}  // namespace krt::host
