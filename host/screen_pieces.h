// The pieces of one screen file in memory, as IFKRT sees them: its character
// patterns drawn side by side as a sheet, and the colours of its colour
// table. The screen is read by the plug-in's own format code (its acceptance
// rule, layout decision, character drawing and colour conversion), so a
// sheet shows each character exactly as a rendered picture does.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "bitmap.h"
#include "outcome.h"

namespace krt::host {

// Sheets and swatch pictures of more dots than this are refused: 8192 x 8192
// dots, far beyond the largest character set a screen holds.
inline constexpr uint64_t kLargestSheetDots = uint64_t{1} << 26;

struct SheetOptions {
  uint32_t columns = 16;
  std::optional<uint32_t> bank;  // the lowest palette the names use when unset
};

// Every whole character of the character pattern data in storage order,
// character k at column k mod C and row k div C, without flips; 16-dot
// characters as their four cells top-left, top-right, bottom-left,
// bottom-right. Pixels are the dot values (4 bits for 16-colour data, 8 for
// 256-colour), places past the last character are 0, and the colour table
// is one bank of the screen's colours, black past the table's end.
Outcome DrawCharacterSheet(const std::vector<uint8_t>& screen, const SheetOptions& options,
                           Bitmap* sheet);

// The characters listed, in that order, on a sheet of `columns` across laid
// out as DrawCharacterSheet lays them out, its colour table palette bank
// `bank`. Places past the last one and characters not whole in the data
// are 0.
Outcome DrawChosenCharacters(const std::vector<uint8_t>& screen,
                             const std::vector<uint32_t>& characters, uint32_t columns,
                             uint64_t bank, Bitmap* sheet);

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

// Every colour of the colour table, converted as the plug-in converts them.
Outcome ReadScreenColours(const std::vector<uint8_t>& screen, std::vector<Rgb>* colours);

}  // namespace krt::host
